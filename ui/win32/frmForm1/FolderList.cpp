#include "FolderList.h"

#include "core/Paths.h"
#include "core/SubFolders.h"
#include "platform/Folders.h"
#include "platform/windows/WindowsText.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

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
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(hwnd(), dc);
    SendMessageW(hwnd(), LB_SETITEMHEIGHT, 0, metrics.tmHeight + 1);
}

bool FolderList::setPath(const std::string& utf8) {
    // The system's own listing, as the C runtime's stops at MAX_PATH characters.
    FolderListing listing = listFolder(utf8);
    const std::optional<std::vector<std::string>> subfolders = shownSubfolders(listing);
    if (!subfolders)
        return false;
    std::error_code ec;
    fs::path clean = fs::absolute(fsPath(utf8), ec).lexically_normal();
    if (ec)
        return false;
    // "c:\folder\" and "c:\folder" are one folder; only a root keeps its separator.
    if (clean.has_relative_path() && !clean.has_filename())
        clean = clean.parent_path();
    const std::string path = utf8Path(clean);
    if (path == m_path)
        return true;
    m_path = path;
    m_listing = std::move(listing);
    rebuild(*subfolders);
    if (onChange)
        onChange();
    return true;
}

FolderListing FolderList::takeListing() {
    FolderListing listing = std::exchange(m_listing, {});
    return listing.listed ? listing : listFolder(m_path);
}

int FolderList::depth(int index) const {
    return index >= 0 && index < static_cast<int>(m_entries.size()) ? m_entries[static_cast<std::size_t>(index)].depth
                                                                    : 0;
}

int FolderList::indent(int index) const { return 2 + depth(index) * px(indentTwips, m_dpi); }

void FolderList::openSelected() {
    const int index = selected();
    if (index >= 0 && index < static_cast<int>(m_entries.size()))
        setPath(m_entries[static_cast<std::size_t>(index)].path);
}

void FolderList::rebuild(const std::vector<std::string>& subfolders) {
    SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
    clear();
    m_entries.clear();

    const fs::path open = fsPath(m_path);
    std::vector<fs::path> chain;
    for (fs::path p = open;; p = p.parent_path()) {
        chain.insert(chain.begin(), p);
        if (p == p.root_path() || !p.has_relative_path() || p.parent_path() == p)
            break;
    }
    int level = 0;
    for (const fs::path& folder : chain) {
        const bool root = folder == folder.root_path();
        m_entries.push_back({utf8Path(folder), level++});
        add(utf8Path(root ? folder : folder.filename()));
    }
    const int current = count() - 1;

    for (const std::string& name : subfolders) {
        m_entries.push_back({utf8Path(open / fsPath(name)), level});
        add(name);
    }
    select(current);
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
    DrawTextW(item.hDC, name.c_str(), -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &item.rcItem);
    return true;
}

} // namespace velk::win32
