#pragma once

#include <QLabel>

namespace velk::qt {

/// A label whose back colour shows a state (Label4): its caption is what the logic sets and
/// reads, and the words for the state may stand on a line of their own below it.
class StateLabel : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StateLabel)
public:
    explicit StateLabel(QWidget* parent);

    [[nodiscard]] QString caption() const { return m_caption; }
    void setCaption(const QString& caption);
    /// "" shows the caption alone; words below it take `small`, so that both fit the box.
    void setWord(const QString& word, const QFont& small);

private:
    void showBoth();

    QString m_caption;
    QString m_word;
};

} // namespace velk::qt
