#pragma once

#include <string>
#include <vector>

namespace velk {

/// A program that has a file open, as the system names it to the operator.
struct FileHolder {
    std::string name;
    unsigned long pid = 0;
};

/// The programs that have the file `path` (UTF-8) open, asked of the system's Restart
/// Manager; empty where it cannot tell (Wine answers no program at all).
[[nodiscard]] std::vector<FileHolder> programsHolding(const std::string& path);

} // namespace velk
