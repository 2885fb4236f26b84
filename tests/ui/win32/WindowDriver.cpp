#include "WindowDriver.h"

#include "ui/win32/wingui/MessagePump.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace velk::test::win32window {

void pump() {
    (void)win32::MessagePump::drain();
}

void moveToDpi(HWND window, UINT dpi) {
    RECT r;
    GetWindowRect(window, &r);
    RECT suggested{r.left, r.top, r.left + MulDiv(r.right - r.left, static_cast<int>(dpi), 96),
                   r.top + MulDiv(r.bottom - r.top, static_cast<int>(dpi), 96)};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

LONG fontHeight(HWND control) {
    LOGFONTW font{};
    if (GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font),
                   &font) == 0)
        return 0;
    return font.lfHeight;
}

void screenshot(HWND window, const std::string& name) {
    const char* folder = std::getenv("VELK_SCREENSHOTS");
    if (!folder)
        return;
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pump();
    RECT r;
    GetWindowRect(window, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC copy = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = SelectObject(copy, bitmap);
    BitBlt(copy, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(copy, old);
    BITMAPINFOHEADER info{sizeof(info), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::string pixels(static_cast<std::size_t>((width * 3 + 3) / 4 * 4 * height), '\0');
    GetDIBits(copy, bitmap, 0, static_cast<UINT>(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(copy);
    ReleaseDC(nullptr, screen);
    const auto offset = static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(info));
    const BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(offset + pixels.size()), 0, 0, offset};
    std::ofstream out(std::filesystem::path(folder) / (name + ".bmp"), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info), sizeof(info));
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
}

void forgetQuit() {
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

win32::Ctrl& control(const win32::frmForm1& form, const char* name) {
    win32::Ctrl* c = form.find(name);
    if (!c) {
        ADD_FAILURE() << "no control " << name;
        std::abort();
    }
    return *c;
}

void click(const win32::Ctrl& button) {
    SendMessageW(button.hwnd(), BM_CLICK, 0, 0);
}

namespace {
void notifyParent(const win32::Ctrl& list, WORD code) {
    SendMessageW(GetParent(list.hwnd()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list.hwnd()), code),
                 reinterpret_cast<LPARAM>(list.hwnd()));
}
} // namespace

void selectRow(const win32::Ctrl& list, int row) {
    SendMessageW(list.hwnd(), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    notifyParent(list, LBN_SELCHANGE);
}

void doubleClickRow(const win32::Ctrl& list, int row) {
    selectRow(list, row);
    notifyParent(list, LBN_DBLCLK);
}

void press(WPARAM key) {
    // With no focus (a disabled control had it) keys go to the active window, as Windows does.
    const HWND focus = GetFocus() ? GetFocus() : GetActiveWindow();
    win32::MessagePump::dispatch(MSG{focus, WM_KEYDOWN, key, 1, 0, {}});
    win32::MessagePump::dispatch(MSG{focus, WM_KEYUP, key, 0xC0000001, 0, {}});
    pump();
}

void tabTo(const win32::Ctrl& target) {
    for (int presses = 0; presses < 25 && GetFocus() != target.hwnd(); ++presses)
        press(VK_TAB);
    EXPECT_EQ(GetFocus(), target.hwnd()) << target.name();
}

std::vector<std::string> rows(const win32::Ctrl& list) {
    std::vector<std::string> out;
    const auto count = static_cast<int>(SendMessageW(list.hwnd(), LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t buffer[512] = {};
        SendMessageW(list.hwnd(), LB_GETTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(buffer));
        out.push_back(velk::narrow(buffer));
    }
    return out;
}

int findRow(const win32::Ctrl& list, const std::string& text) {
    const auto all = rows(list);
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i] == text)
            return static_cast<int>(i);
    return -1;
}

void pickDrive(const win32::Ctrl& driveList, const std::string& designation) {
    const auto count = static_cast<int>(SendMessageW(driveList.hwnd(), CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t buffer[512] = {};
        SendMessageW(driveList.hwnd(), CB_GETLBTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(buffer));
        if (CompareStringOrdinal(buffer, static_cast<int>(designation.size()),
                                 velk::widen(designation).c_str(),
                                 static_cast<int>(designation.size()), TRUE) == CSTR_EQUAL) {
            SendMessageW(driveList.hwnd(), CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            SendMessageW(GetParent(driveList.hwnd()), WM_COMMAND,
                         MAKEWPARAM(GetDlgCtrlID(driveList.hwnd()), CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(driveList.hwnd()));
            return;
        }
    }
    ADD_FAILURE() << "no drive " << designation;
}

} // namespace velk::test::win32window
