#include "FileList.h"

#include "core/FilePattern.h"
#include "platform/Folders.h"

namespace velk::win32 {

void FileList::setPath(const std::string& utf8) {
    m_path = utf8;
    SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
    clear();
    for (const std::string& name : filesShown(listFolder(m_path), m_pattern))
        add(name);
    SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

std::string FileList::fileName() const {
    const int index = selected();
    return index < 0 ? std::string() : row(index);
}

} // namespace velk::win32
