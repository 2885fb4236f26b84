#include "platform/System.h"
#include "ui/win32/frmForm1/frmForm1.h"
#include "ui/win32/wingui/MessagePump.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    const auto system = velk::makeSystem();
    velk::win::frmForm1 window(*system);
    window.show();
    return velk::win::MessagePump::run();
}
