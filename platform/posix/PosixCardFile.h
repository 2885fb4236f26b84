#pragma once

#include "core/SystemPort.h"

#include <memory>
#include <optional>
#include <string>
#include <system_error>

namespace velk {

/// Card files on a POSIX system: created with 0666 less the umask, never through a link of
/// their name; writeback starts as they are written, and a device error already shows at the
/// write; flushed through the descriptor that wrote; read back past the page cache (direct
/// I/O, or the cached pages dropped where the file system has none).
[[nodiscard]] std::unique_ptr<OpenFile> openPosixFile(const std::string& path, OpenMode mode,
                                                      std::error_code& ec);
/// Forces a folder's entries to the device.
[[nodiscard]] std::error_code syncFolder(const std::string& path);
/// Forces a file's data and record to the device; a link is not followed.
[[nodiscard]] std::error_code syncFile(const std::string& path);
/// Device, inode, size and write time, links followed.
[[nodiscard]] std::optional<EntryStamp> posixFileStamp(const std::string& path);
/// Device, inode, size and times of the entry itself.
[[nodiscard]] std::optional<EntryStamp> posixEntryStamp(const std::string& path);

} // namespace velk
