#include "FileDialog.h"

#include "core/Texts.h"
#include "platform/windows/WindowsText.h"

#include <commdlg.h>
#include <shlobj.h>

namespace velk::win32 {

namespace {

// "Name (*.txt);;All (*)" becomes the dialog's pairs "Name (*.txt)\0*.txt\0All (*)\0*.*\0".
std::wstring filterPairs(const std::string& filter) {
    std::wstring pairs;
    std::size_t from = 0;
    while (from < filter.size()) {
        std::size_t end = filter.find(";;", from);
        if (end == std::string::npos)
            end = filter.size();
        const std::string entry = filter.substr(from, end - from);
        const std::size_t open = entry.rfind('(');
        std::string pattern = entry.substr(open + 1, entry.size() - open - 2);
        if (pattern == "*")
            pattern = "*.*";
        pairs += widen(entry) + L'\0' + widen(pattern) + L'\0';
        from = end + 2;
    }
    return pairs + L'\0';
}

} // namespace

std::string FileDialog::ask(HWND owner, Purpose purpose) {
    if (s_answerer)
        return s_answerer(purpose);
    const std::wstring filter = filterPairs(text::listFilter);
    const std::wstring title = widen(purpose == Purpose::save ? text::saveList : text::openList);
    wchar_t path[MAX_PATH * 4] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = path;
    ofn.nMaxFile = static_cast<DWORD>(std::size(path));
    ofn.lpstrTitle = title.c_str();
    // Lists start among the operator's documents, never among the help topics of the folder
    // the program started in; Windows then offers the folder last chosen.
    wchar_t documents[MAX_PATH] = {};
    if (SUCCEEDED(
            SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents)))
        ofn.lpstrInitialDir = documents;
    ofn.lpstrDefExt = L"txt";
    ofn.Flags = OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                (purpose == Purpose::save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL chosen = purpose == Purpose::save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    return chosen ? narrow(path) : std::string();
}

} // namespace velk::win32
