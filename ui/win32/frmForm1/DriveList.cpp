#include "DriveList.h"

#include "core/SystemPort.h"
#include "platform/windows/WindowsText.h"

#include <algorithm>

namespace velk::win32 {

namespace {
// The drop-down part below the box shows this many rows' worth.
constexpr int dropDownTwips = 3000;
} // namespace

void DriveList::create(HWND parent, UINT dpi) {
    Ctrl::create(parent, L"COMBOBOX", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0,
                 "", dpi);
    place(dpi);
    refill();
    setDrive(m_system.currentDrive());
}

void DriveList::place(UINT dpi) const {
    // A combo box's window height includes its drop-down list; the box itself is the
    // selection field, whose height follows the font, so set it to fill the designed box.
    const RECT r = toPixels(box(), dpi);
    SetWindowPos(hwnd(), nullptr, r.left, r.top, r.right - r.left,
                 r.bottom - r.top + px(dropDownTwips, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    const int wanted = r.bottom - r.top;
    const auto field = SendMessageW(hwnd(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    SendMessageW(hwnd(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field + wanted - faceHeight());
    // Placed again after each change of font, which the entries' widths follow.
    fitDropDown();
}

void DriveList::setTip(Tooltips& tips, std::string tip) {
    m_tips = &tips;
    m_tip = std::move(tip);
    tips.add(hwnd(), m_tip);
    showEntryInTip();
}

void DriveList::showEntryInTip() const {
    if (!m_tips)
        return;
    const LRESULT index = SendMessageW(hwnd(), CB_GETCURSEL, 0, 0);
    m_tips->update(hwnd(), index == CB_ERR ? m_tip : m_tip + "\n" + row(static_cast<int>(index)));
}

void DriveList::fitDropDown() const {
    HDC dc = GetDC(hwnd());
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
    int widest = 0;
    for (int i = 0; i < count(); ++i) {
        const std::wstring label = widen(row(i));
        SIZE size{};
        GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    SelectObject(dc, old);
    ReleaseDC(hwnd(), dc);
    // Room for the list's borders, a margin either side of the text and a vertical scroll bar.
    const UINT dpi = GetDpiForWindow(hwnd());
    const int room = 2 * GetSystemMetricsForDpi(SM_CXEDGE, dpi) +
                     2 * MulDiv(4, static_cast<int>(dpi), 96) +
                     GetSystemMetricsForDpi(SM_CXVSCROLL, dpi);
    // Never narrower than the box: the list only grows.
    SendMessageW(hwnd(), CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest + room), 0);
}

int DriveList::faceHeight() const {
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    GetComboBoxInfo(hwnd(), &info);
    // The selection field sits between equal borders above and below.
    return info.rcItem.bottom + info.rcItem.top;
}

void DriveList::setDrive(const std::string& designation) {
    m_choice.choose(designation);
    showRows();
}

int DriveList::count() const {
    return static_cast<int>(m_choice.rows().size());
}

std::string DriveList::row(int index) const {
    const LRESULT length = SendMessageW(hwnd(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR)
        return {};
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(hwnd(), CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<std::size_t>(length));
    return narrow(buffer);
}

void DriveList::command(WORD code) {
    if (code == CBN_DROPDOWN) {
        refill();
        return;
    }
    if (code != CBN_SELCHANGE ||
        !m_choice.pick(static_cast<int>(SendMessageW(hwnd(), CB_GETCURSEL, 0, 0))))
        return;
    showEntryInTip();
    if (onChange)
        onChange();
}

void DriveList::refresh() {
    if (!SendMessageW(hwnd(), CB_GETDROPPEDSTATE, 0, 0))
        refill();
}

void DriveList::refill() {
    m_choice.fill(m_system.drives());
    showRows();
}

void DriveList::showRows() {
    SendMessageW(hwnd(), CB_RESETCONTENT, 0, 0);
    for (const DriveEntry& entry : m_choice.rows())
        SendMessageW(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(entry.label).c_str()));
    SendMessageW(hwnd(), CB_SETCURSEL, static_cast<WPARAM>(m_choice.chosenRow()), 0);
    fitDropDown();
    showEntryInTip();
}

} // namespace velk::win32
