#include "Paths.h"

#include "Texts.h"

#include <cerrno>
#include <fstream>
#include <limits>
#include <system_error>

namespace velk {

namespace fs = std::filesystem;

namespace {

constexpr char preferred = static_cast<char>(fs::path::preferred_separator);

// '/' separates on every platform; the preferred separator differs from it on drive-letter systems.
bool isSeparator(char c) {
    return c == '/' || c == preferred;
}

} // namespace

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    if (isSeparator(folder.back()))
        return folder + name;
    return folder + preferred + name;
}

fs::path fsPath(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8Path(const fs::path& path) {
    const std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

MeasuredSize measureFile(const std::string& path) {
    const fs::path p = fsPath(path);
    std::error_code ec;
    const fs::file_status status = fs::status(p, ec);
    if (status.type() == fs::file_type::not_found)
        return {0, std::make_error_code(std::errc::no_such_file_or_directory).message()};
    if (ec)
        return {0, ec.message()};
    if (!fs::is_regular_file(status))
        return {0, text::notAFile};

    const std::uintmax_t size = fs::file_size(p, ec);
    if (ec)
        return {0, ec.message()};

    // The programming run copies the file, so one it cannot open is refused now, not there.
    errno = 0;
    std::ifstream probe(p, std::ios::binary);
    if (!probe.is_open()) {
        const int err = errno;
        return {0, err != 0 ? std::generic_category().message(err) : std::string(text::cannotOpen)};
    }

    constexpr auto largest = static_cast<std::uintmax_t>(std::numeric_limits<std::int64_t>::max());
    return {static_cast<std::int64_t>(size < largest ? size : largest), {}};
}

} // namespace velk
