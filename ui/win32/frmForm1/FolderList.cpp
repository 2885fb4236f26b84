#include "FolderList.h"

#include "platform/windows/WindowsText.h"

namespace velk::win32 {

namespace {

constexpr int indentTwips = 150;

} // namespace

void FolderList::create(HWND parent, UINT dpi) {
    ListBoxCtrl::create(parent, dpi, LBS_OWNERDRAWFIXED | LBS_HASSTRINGS);
    m_dpi = dpi;
    onDoubleClick = [this] { openSelected(); };
}

void FolderList::place(UINT dpi) const {
    ListBoxCtrl::place(dpi);
    m_dpi = dpi;
    const HDC dc = GetDC(hwnd());
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(hwnd(), dc);
    SendMessageW(hwnd(), LB_SETITEMHEIGHT, 0, metrics.tmHeight + 1);
}

bool FolderList::setPath(const std::string& utf8) {
    return opened(m_view.open(utf8));
}

bool FolderList::opened(FolderView::Opened result) {
    if (result == FolderView::Opened::changed) {
        rebuild();
        if (onChange)
            onChange();
    }
    return result != FolderView::Opened::refused;
}

int FolderList::depth(int index) const {
    const std::vector<FolderRow>& rows = m_view.rows();
    return index >= 0 && index < static_cast<int>(rows.size())
               ? rows[static_cast<std::size_t>(index)].depth
               : 0;
}

int FolderList::indent(int index) const {
    return 2 + depth(index) * px(indentTwips, m_dpi);
}

void FolderList::openSelected() {
    opened(m_view.openRow(selected()));
}

void FolderList::rebuild() {
    SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
    clear();
    for (const FolderRow& row : m_view.rows())
        add(row.name);
    select(m_view.currentRow());
    SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

bool FolderList::draw(const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1))
        return true;
    const bool chosen = (item.itemState & ODS_SELECTED) != 0;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(chosen ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(chosen ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT r = item.rcItem;
    r.left += indent(static_cast<int>(item.itemID));
    const std::wstring name = widen(row(static_cast<int>(item.itemID)));
    DrawTextW(item.hDC, name.c_str(), -1, &r,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &item.rcItem);
    return true;
}

} // namespace velk::win32
