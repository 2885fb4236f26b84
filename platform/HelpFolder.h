#pragma once

#include <filesystem>

namespace velk {

/// The folder the help window reads its topics from: the topics installed with the program
/// where they are (on Linux the package's share/velk-assembler/help, on Windows the program's
/// own folder), else the current folder, as for a program run from its build tree.
[[nodiscard]] std::filesystem::path helpFolder();

/// The same choice for a program whose installed topics would be in `installed`.
[[nodiscard]] std::filesystem::path helpFolder(const std::filesystem::path& installed);

/// The running program's own file, or empty when the system does not tell.
[[nodiscard]] std::filesystem::path programFile();

} // namespace velk
