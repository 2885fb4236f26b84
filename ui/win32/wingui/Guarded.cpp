#include "Guarded.h"

#include "core/Texts.h"
#include "ui/win32/frmForm1/OkMessageBox.h"

#include <string>

namespace velk::win32 {

void reportFault(HWND owner, const char* what) noexcept {
    // A fault while painting would come back with every repaint the box itself causes.
    static bool reporting = false;
    if (reporting)
        return;
    reporting = true;
    try {
        OkMessageBox::show(GetAncestor(owner, GA_ROOT), std::string(text::windowFault) + what);
    } catch (...) {
        MessageBeep(MB_ICONHAND);
    }
    reporting = false;
}

} // namespace velk::win32
