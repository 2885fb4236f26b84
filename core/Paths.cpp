#include "Paths.h"

#include "SystemPort.h"
#include "Texts.h"

#include <limits>
#include <memory>
#include <optional>
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

MeasuredSize measureFile(const SystemPort& system, const std::string& path,
                         const std::function<void()>& betweenTries) {
    std::error_code ec;
    const EntryKind kind = system.entryKind(path, true, ec);
    if (ec)
        return {0, system.describe(ec)};
    if (kind != EntryKind::file && kind != EntryKind::missing)
        return {0, text::notAFile};

    // The programming run copies the file, so one it cannot open is refused now, not there.
    // A missing one fails here too, in the system's own words.
    const std::unique_ptr<OpenFile> probe = system.openSource(path, ec, betweenTries);
    if (!probe)
        return {0, system.describeFileError(ec, path)};
    const std::optional<EntryStamp> stamp = probe->stamp();
    if (!stamp)
        return {0, text::cannotOpen};
    constexpr auto largest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    return {static_cast<std::int64_t>(stamp->size < largest ? stamp->size : largest), {}};
}

} // namespace velk
