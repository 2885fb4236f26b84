#pragma once

#include <QPushButton>

class QPainter;

namespace velk::qt {

/// A push button whose caption wraps at its width, as the window's narrow buttons need
/// ("Programme MMC Card" stands on two lines). Return presses it as Space does, though it is
/// never the window's default button.
class WrapButton : public QPushButton {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WrapButton)
public:
    WrapButton(const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    /// `caption` in `ink`, wrapped and centred, shifted a pixel while the button is down.
    void drawCaption(QPainter& painter, const QColor& ink, const QString& caption) const;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace velk::qt
