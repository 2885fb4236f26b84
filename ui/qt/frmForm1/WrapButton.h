#pragma once

#include <QPushButton>

namespace velk::ui {

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
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace velk::ui
