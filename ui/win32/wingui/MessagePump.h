#pragma once

#include "Win.h"

namespace velk::win32 {

/// Delivers window messages one at a time on this thread, with the tab orders and keyboard
/// shortcuts applied.
class MessagePump {
public:
    static void dispatch(const MSG& message);
    /// Delivers every message already queued. False when the program was asked to end
    /// (WM_QUIT), which is left in the queue for the outermost loop.
    [[nodiscard]] static bool drain();
    /// Waits in GetMessage until a message arrives, then delivers it and all queued after it.
    [[nodiscard]] static bool waitThenDrain();
    /// The program's loop; returns the exit code of WM_QUIT.
    static int run();
};

} // namespace velk::win32
