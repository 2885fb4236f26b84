#include "OkMessageBox.h"

#include "core/Texts.h"
#include "ui/win32/wingui/Text.h"

namespace velk::win {

namespace {
OkMessageBox::Answerer& answerer() {
    static OkMessageBox::Answerer instance;
    return instance;
}
} // namespace

void OkMessageBox::setAnswerer(Answerer a) { answerer() = std::move(a); }

void OkMessageBox::show(HWND owner, const std::string& utf8) {
    if (answerer()) {
        answerer()(utf8);
        return;
    }
    ::MessageBoxW(owner, widen(utf8).c_str(), widen(text::appTitle).c_str(), MB_OK);
}

} // namespace velk::win
