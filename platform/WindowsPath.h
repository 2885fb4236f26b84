#pragma once

#include <string>
#include <vector>

namespace velk {

/// A UTF-8 path as the W functions take it; the narrow A functions would read it in the ANSI
/// code page, which has no "日" and differs from machine to machine.
[[nodiscard]] std::wstring widePath(const std::string& utf8);
[[nodiscard]] std::string utf8Path(const std::wstring& utf16);

/// A path as the W functions take it past MAX_PATH characters: made full ("." and ".."
/// resolved, '/' turned into '\', as the system would) and given the "\\?\" prefix, which
/// tells the system to take the name as it is, at any length. Names of devices stay as they are.
[[nodiscard]] std::wstring longPath(const std::string& utf8);

/// One entry of a folder.
struct FolderEntry {
    std::string name;
    bool folder = false;
    bool hidden = false;
};

/// The entries of a folder at any depth, "." and ".." left out; none when it cannot be read.
/// The C library's folder reading, under std::filesystem, stops at MAX_PATH characters and
/// then reads the current folder instead.
[[nodiscard]] std::vector<FolderEntry> folderEntries(const std::string& utf8);

} // namespace velk
