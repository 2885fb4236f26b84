#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace velk {

class SystemPort;

/// `folder` and `name` with exactly one separator between them: a folder that already ends
/// in a separator (a drive or file-system root) gets none. An empty folder gives `name`.
/// The separator added is the platform's preferred one.
[[nodiscard]] std::string joinPath(const std::string& folder, const std::string& name);

/// A UTF-8 path as the file system takes it, also where the narrow encoding is not UTF-8.
[[nodiscard]] std::filesystem::path fsPath(const std::string& utf8);

/// The reverse of fsPath: a path as UTF-8, where string() would give the narrow encoding.
[[nodiscard]] std::string utf8Path(const std::filesystem::path& path);

/// The size of a source file, or why it cannot be one.
struct MeasuredSize {
    std::int64_t bytes = 0;
    /// Empty when `bytes` holds the size; otherwise the reason, for the operator.
    std::string error;

    [[nodiscard]] bool ok() const { return error.empty(); }
};

/// Size of the regular file at `path` (links followed), refused when the file is missing, is
/// not a regular file or cannot be opened for reading. It is opened as a copy opens it
/// (SystemPort::openSource, with `betweenTries`). Never throws for a file-system failure.
[[nodiscard]] MeasuredSize measureFile(const SystemPort& system, const std::string& path,
                                       const std::function<void()>& betweenTries = {});

} // namespace velk
