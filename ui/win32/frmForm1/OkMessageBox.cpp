#include "OkMessageBox.h"

#include "core/Texts.h"
#include "platform/windows/WindowsText.h"

namespace velk::win32 {

void OkMessageBox::show(HWND owner, const std::string& utf8) {
    if (s_answerer) {
        s_answerer(utf8);
        return;
    }
    ::MessageBoxW(owner, widen(utf8).c_str(), widen(text::appTitle).c_str(), MB_OK);
}

} // namespace velk::win32
