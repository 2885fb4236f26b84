#include "Guarded.h"

#include "Layout.h"
#include "OkMessageBox.h"
#include "core/Texts.h"

#include <QApplication>
#include <QWidget>

#include <exception>
#include <string>

namespace velk::qt {

void guarded(QWidget* window, const std::function<void()>& handler) noexcept {
    // The box runs events of its own: a handler that fails again meanwhile only beeps.
    static bool reporting = false;
    std::string what = "?";
    try {
        handler();
        return;
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
    }
    if (reporting) {
        QApplication::beep();
        return;
    }
    reporting = true;
    try {
        OkMessageBox::show(window->window(), qtText(text::windowFault + what));
    } catch (...) {
        QApplication::beep();
    }
    reporting = false;
}

} // namespace velk::qt
