#include "platform/System.h"
#include "ui/win32/frmForm1/frmForm1.h"
#include "ui/win32/wingui/MessagePump.h"
#include "ui/win32/wingui/ProcessStart.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    velk::win32::startProcess();
    const auto system = velk::makeSystem();
    velk::win32::frmForm1 window(*system);
    window.show();
    return velk::win32::MessagePump::run();
}
