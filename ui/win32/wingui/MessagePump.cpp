#include "MessagePump.h"

#include "Accelerators.h"
#include "TabOrder.h"

namespace velk::win32 {

void MessagePump::dispatch(const MSG& message) {
    if (TabOrder::anyHandles(message) || Accelerators::anyHandles(message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool MessagePump::drain() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // A run that yields must not swallow the end of the program.
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        dispatch(message);
    }
    return true;
}

bool MessagePump::waitThenDrain() {
    MSG message;
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        PostQuitMessage(got == 0 ? static_cast<int>(message.wParam) : 1);
        return false;
    }
    dispatch(message);
    return drain();
}

int MessagePump::run() {
    MSG message;
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1)
            return 1;
        dispatch(message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace velk::win32
