#include "FileList.h"

#include "FolderList.h"

#include "core/FilePattern.h"
#include "platform/Folders.h"

#include <utility>

namespace velk::win32 {

void FileList::setPath(const std::string& utf8) {
    show(utf8,
         m_folders && m_folders->path() == utf8 ? m_folders->takeListing() : listFolder(utf8));
}

void FileList::show(const std::string& utf8, FolderListing listing) {
    m_path = utf8;
    SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
    clear();
    for (const std::string& name : filesShown(std::move(listing), m_pattern))
        add(name);
    SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

std::string FileList::fileName() const {
    const int index = selected();
    return index < 0 ? std::string() : row(index);
}

} // namespace velk::win32
