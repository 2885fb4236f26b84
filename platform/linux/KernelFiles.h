#pragma once

// Reading the kernel's proc and sys trees, and the device tree beside them: small text files,
// folders and links, read afresh at every call.

#include "MountTable.h"

#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace velk::kernel {

/// errno as an error code.
[[nodiscard]] std::error_code lastError();

/// A proc file, read whole with plain reads: stat gives no size for it.
[[nodiscard]] std::optional<std::string> readFile(const std::string& path);

/// An open folder; files in it are opened relative to it, which spares the kernel a walk of
/// the whole sysfs path for every attribute.
class Folder {
public:
    explicit Folder(const std::string& path)
        : m_fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
    ~Folder() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    explicit operator bool() const { return m_fd >= 0; }
    [[nodiscard]] int fd() const { return m_fd; }

private:
    int m_fd;
};

/// A one-line attribute without its newline; empty when it cannot be read.
[[nodiscard]] std::string readAttribute(const std::string& path, int at = AT_FDCWD);

template <typename T> std::optional<T> parseNumber(std::string_view text) {
    T value{};
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

[[nodiscard]] std::optional<DeviceNumber> parseDeviceNumber(std::string_view text);

[[nodiscard]] bool exists(const std::string& path);
[[nodiscard]] bool isDirectory(const std::string& path);

/// The names in a folder; with `foldersOnly`, those of plain sub-folders (links left out).
[[nodiscard]] std::vector<std::string> folderEntries(const std::string& path,
                                                     bool foldersOnly = false, int at = AT_FDCWD);

/// Each '/'-separated component of `path`, in order, until `visit` returns true.
template <typename Visit> bool anyComponent(std::string_view path, Visit visit) {
    while (!path.empty()) {
        const std::size_t slash = path.find('/');
        if (visit(path.substr(0, slash)))
            return true;
        if (slash == std::string_view::npos)
            break;
        path.remove_prefix(slash + 1);
    }
    return false;
}

[[nodiscard]] std::optional<std::string> linkTarget(const std::string& link);

/// The process's current folder, or empty when it cannot be told.
[[nodiscard]] std::string currentFolder();

} // namespace velk::kernel
