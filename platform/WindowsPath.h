#pragma once

#include "core/SubFolders.h"

#include <string>

namespace velk {

/// A path as the W functions take it past MAX_PATH characters: made full ("." and ".."
/// resolved, '/' turned into '\', as the system would) and given the "\\?\" prefix, which
/// tells the system to take the name as it is, at any length. Names of devices stay as they are.
[[nodiscard]] std::wstring longPath(const std::string& utf8);

/// The entries of a folder at any depth, "." and ".." left out, or that it cannot be listed.
/// The C library's folder reading, under std::filesystem, stops at MAX_PATH characters and
/// then reads the current folder instead.
[[nodiscard]] FolderListing listFolder(const std::string& utf8);

} // namespace velk
