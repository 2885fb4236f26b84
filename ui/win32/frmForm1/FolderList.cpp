#include "FolderList.h"

#include "core/Paths.h"
#include "platform/WindowsPath.h"
#include "ui/win32/wingui/Text.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace velk::win {

namespace {

constexpr int indentTwips = 150;

std::string utf8Of(const fs::path& p) {
    const std::u8string s = p.u8string();
    return {s.begin(), s.end()};
}

std::wstring lower(std::wstring s) {
    CharLowerBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

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
    std::error_code ec;
    const fs::path wanted = fsPath(utf8);
    // The C runtime's answer stops at MAX_PATH characters; the system's own does not.
    const DWORD attributes = GetFileAttributesW(longPath(utf8).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    fs::path clean = fs::absolute(wanted, ec).lexically_normal();
    if (ec)
        return false;
    // "c:\folder\" and "c:\folder" are one folder; only a root keeps its separator.
    if (clean.has_relative_path() && !clean.has_filename())
        clean = clean.parent_path();
    const std::string path = utf8Of(clean);
    if (path == m_path)
        return true;
    m_path = path;
    rebuild();
    if (onChange)
        onChange();
    return true;
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

void FolderList::rebuild() {
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
        m_entries.push_back({utf8Of(folder), level++});
        add(root ? utf8Of(folder) : utf8Of(folder.filename()));
    }
    const int current = count() - 1;

    std::vector<fs::path> subfolders;
    for (const FolderEntry& entry : folderEntries(m_path))
        if (entry.folder && !entry.hidden)
            subfolders.push_back(open / fsPath(entry.name));
    std::sort(subfolders.begin(), subfolders.end(), [](const fs::path& a, const fs::path& b) {
        return lower(a.filename().wstring()) < lower(b.filename().wstring());
    });
    for (const fs::path& sub : subfolders) {
        m_entries.push_back({utf8Of(sub), level});
        add(utf8Of(sub.filename()));
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

} // namespace velk::win
