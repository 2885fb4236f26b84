#pragma once

#include "SubFolders.h"

#include <string>
#include <system_error>
#include <vector>

namespace velk {

class SystemPort;

/// True when `name` matches one of the ";"-separated patterns. Only the forms the lists use
/// are understood: "*" and "*.*" match every name, "*.ext" every name ending in ".ext",
/// ignoring case as drive-letter file systems do.
[[nodiscard]] bool matchesPattern(const std::string& name, const std::string& patterns);

/// The one rule for what may become a track, everywhere a file is taken: a name (or a path)
/// ending in ".mp3" or ".nvr", in any case.
[[nodiscard]] bool isAudioFile(const std::string& path);

/// Names of every entry of `folder` that is not a folder: files, links (not followed), and
/// pipes, sockets and device nodes, all of which a wipe removes too. In the folder's own
/// order; `ec` set when the folder could not be listed in full.
[[nodiscard]] std::vector<std::string> folderFiles(const SystemPort& system,
                                                   const std::string& folder, std::error_code& ec);

/// Those of a folder's file `names` that match, sorted as an operator reads them: ignoring case.
[[nodiscard]] std::vector<std::string> matchingFiles(std::vector<std::string> names,
                                                     const std::string& patterns);

/// The names a file list shows for a folder as listed: every entry that is not a folder, links
/// included whatever they lead to (as folderFiles, and so a wipe, counts them), that matches;
/// sorted as matchingFiles sorts them.
[[nodiscard]] std::vector<std::string> filesShown(FolderListing listing,
                                                  const std::string& patterns);

} // namespace velk
