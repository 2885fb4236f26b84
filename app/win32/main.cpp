#include "platform/System.h"
#include "ui/win32/frmForm1/frmForm1.h"
#include "ui/win32/wingui/MessagePump.h"
#include "ui/win32/wingui/ProcessStart.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    velk::win::startProcess();
    const auto system = velk::makeSystem();
    velk::win::frmForm1 window(*system);
    window.show();
    return velk::win::MessagePump::run();
}
