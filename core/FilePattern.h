#pragma once

#include <string>
#include <vector>

namespace velk {

/// True when `name` matches one of the ";"-separated patterns. Only the forms the lists use
/// are understood: "*" and "*.*" match every name, "*.ext" every name ending in ".ext",
/// ignoring case as drive-letter file systems do.
[[nodiscard]] bool matchesPattern(const std::string& name, const std::string& patterns);

/// Those of a folder's file `names` that match, sorted as an operator reads them: ignoring case.
[[nodiscard]] std::vector<std::string> matchingFiles(std::vector<std::string> names,
                                                     const std::string& patterns);

/// Names of the files (and links, which a wipe removes too) in `folder` that match, sorted
/// as an operator reads them: ignoring case. A folder that cannot be read lists nothing.
[[nodiscard]] std::vector<std::string> listFiles(const std::string& folder,
                                                 const std::string& patterns);

} // namespace velk
