#pragma once

#include <functional>

class QWidget;

namespace velk::qt {

/// Runs an event handler of `window`. An exception must not leave a handler into Qt's event
/// loop, which does not carry it on, so it stops here: the operator reads it in the program's
/// message box and the window goes on with its next event.
void guarded(QWidget* window, const std::function<void()>& handler) noexcept;

} // namespace velk::qt
