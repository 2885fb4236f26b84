#pragma once

#include "ui/win32/wingui/ListBoxCtrl.h"

#include <string>

namespace velk::win32 {

/// The files of one folder whose names match a pattern ("*.mp3;*.nvr"), without regard to
/// case and sorted as core lists them.
class FileList : public ListBoxCtrl {
public:
    FileList(std::string name, const Twips& box, std::string pattern)
        : ListBoxCtrl(std::move(name), box), m_pattern(std::move(pattern)) {}

    [[nodiscard]] const std::string& path() const { return m_path; }
    /// Points the list at a folder and reads it.
    void setPath(const std::string& utf8);
    /// The selected file's name, or "".
    [[nodiscard]] std::string fileName() const;

private:
    std::string m_pattern;
    std::string m_path;
};

} // namespace velk::win32
