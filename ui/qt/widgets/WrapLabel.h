#pragma once

#include <QLabel>

namespace velk::qt {

/// A label whose text wraps at words, and inside a word wider than the label (a path),
/// centred both ways; a text taller than the label loses its middle to an ellipsis.
class WrapLabel : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WrapLabel)
public:
    explicit WrapLabel(QWidget* parent);

    /// The text as the label shows it.
    [[nodiscard]] QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace velk::qt
