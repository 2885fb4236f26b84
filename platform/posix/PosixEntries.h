#pragma once

#include "core/SystemPort.h"

#include <optional>
#include <string>
#include <system_error>

namespace velk {

/// What a path names on a POSIX system; see SystemPort::entryKind.
[[nodiscard]] EntryKind posixEntryKind(const std::string& path, bool followLink,
                                       std::error_code& ec);
/// realpath(3) of `path`.
[[nodiscard]] std::optional<std::string> posixFinalPath(const std::string& path);
/// unlink(2): the mode bits of the file do not matter, only the folder's.
[[nodiscard]] std::error_code posixRemoveFile(const std::string& path);
[[nodiscard]] std::error_code posixRemoveFolder(const std::string& path);
/// rename(2), which replaces a `to` that appeared since the caller looked.
[[nodiscard]] std::error_code posixMoveEntry(const std::string& from, const std::string& to);
/// mkdir(2) with 0777 less the umask.
[[nodiscard]] bool posixMakeFolder(const std::string& path, std::error_code& ec);

} // namespace velk
