#pragma once

#include "core/SubFolders.h"
#include "ui/win32/wingui/ListBoxCtrl.h"

#include <string>

namespace velk::win32 {

class FolderList;

/// The files of one folder whose names match a pattern ("*.mp3;*.nvr"), without regard to
/// case and sorted as core lists them.
class FileList : public ListBoxCtrl {
public:
    FileList(std::string name, const Twips& box, std::string pattern)
        : ListBoxCtrl(std::move(name), box), m_pattern(std::move(pattern)) {}

    /// The folder list whose open folder this list is pointed at: its listing is taken rather
    /// than the folder read again.
    void followFolderList(FolderList* folders) { m_folders = folders; }
    [[nodiscard]] const std::string& path() const { return m_path; }
    /// Points the list at a folder and reads it.
    void setPath(const std::string& utf8);
    /// The selected file's name, or "".
    [[nodiscard]] std::string fileName() const;

private:
    void show(const std::string& utf8, FolderListing listing);

    std::string m_pattern;
    std::string m_path;
    FolderList* m_folders = nullptr;
};

} // namespace velk::win32
