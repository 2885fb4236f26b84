#include "KernelFiles.h"
#include "platform/HelpFolder.h"

#include <cerrno>
#include <climits>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velk::kernel {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

std::optional<std::string> readFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string text;
    std::size_t used = 0;
    text.resize(4096);
    for (;;) {
        if (used == text.size())
            text.resize(text.size() * 2);
        const ssize_t n = ::read(fd, text.data() + used, text.size() - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        used += static_cast<std::size_t>(n);
    }
    ::close(fd);
    text.resize(used);
    return text;
}

std::string readAttribute(const std::string& path, int at) {
    char buffer[128];
    const int fd = ::openat(at, path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    ssize_t n;
    do {
        n = ::read(fd, buffer, sizeof buffer);
    } while (n < 0 && errno == EINTR);
    ::close(fd);
    if (n <= 0)
        return {};
    std::string_view text(buffer, static_cast<std::size_t>(n));
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.remove_suffix(1);
    return std::string(text);
}

std::optional<DeviceNumber> parseDeviceNumber(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const auto major = parseNumber<unsigned>(text.substr(0, colon));
    const auto minor = parseNumber<unsigned>(text.substr(colon + 1));
    if (!major || !minor)
        return std::nullopt;
    return DeviceNumber{*major, *minor};
}

bool exists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

bool isDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> folderEntries(const std::string& path, bool foldersOnly, int at) {
    std::vector<std::string> names;
    const int fd = ::openat(at, path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!dir) {
        if (fd >= 0)
            ::close(fd);
        return names;
    }
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view name = e->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        if (foldersOnly && e->d_type != DT_DIR &&
            (e->d_type != DT_UNKNOWN || ::fstatat(fd, e->d_name, &st, 0) != 0 ||
             !S_ISDIR(st.st_mode)))
            continue;
        names.emplace_back(name);
    }
    ::closedir(dir);
    return names;
}

std::optional<std::string> linkTarget(const std::string& link) {
    char target[PATH_MAX];
    const ssize_t n = ::readlink(link.c_str(), target, sizeof target);
    if (n <= 0 || static_cast<std::size_t>(n) == sizeof target)
        return std::nullopt;
    return std::string(target, static_cast<std::size_t>(n));
}

std::string currentFolder() {
    std::string path(PATH_MAX, '\0');
    while (!::getcwd(path.data(), path.size())) {
        if (errno != ERANGE)
            return {};
        path.resize(path.size() * 2);
    }
    path.resize(path.find('\0'));
    return path;
}

} // namespace velk::kernel

namespace velk {

std::filesystem::path programFile() {
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec);
}

} // namespace velk
