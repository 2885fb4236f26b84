#include "FilePattern.h"

#include "CaseFold.h"
#include "Paths.h"

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace velk {

namespace {

bool matchesOne(std::string_view name, std::string_view pattern) {
    if (pattern == "*" || pattern == "*.*")
        return true;
    if (pattern.size() > 1 && pattern[0] == '*')
        return endsWithIgnoringCase(name, pattern.substr(1));
    return name.size() == pattern.size() && endsWithIgnoringCase(name, pattern);
}

} // namespace

bool matchesPattern(const std::string& name, const std::string& patterns) {
    const std::string_view all = patterns;
    std::size_t start = 0;
    while (start <= all.size()) {
        const std::size_t end = std::min(all.find(';', start), all.size());
        if (end > start && matchesOne(name, all.substr(start, end - start)))
            return true;
        start = end + 1;
    }
    return false;
}

bool isAudioFile(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return matchesPattern(slash == std::string::npos ? path : path.substr(slash + 1),
                          "*.mp3;*.nvr");
}

std::vector<std::string> folderFiles(const std::string& folder, std::error_code& ec) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    for (fs::directory_iterator it(fsPath(folder), ec), end; !ec && it != end; it.increment(ec)) {
        // The entry's type comes with the listing: asking the file system again for each of
        // thousands of files is most of the time a large folder takes.
        const bool folder = !it->is_symlink(ec) && !ec && it->is_directory(ec);
        if (ec)
            break;
        if (folder)
            continue;
        // string() would give the narrow encoding, which on Windows is the ANSI code page.
        names.push_back(utf8Path(it->path().filename()));
    }
    return names;
}

std::vector<std::string> filesShown(FolderListing listing, const std::string& patterns) {
    std::vector<std::string> names;
    for (FolderEntry& entry : listing.entries)
        if (!entry.folder || entry.link)
            names.push_back(std::move(entry.name));
    return matchingFiles(std::move(names), patterns);
}

std::vector<std::string> listFiles(const std::string& folder, const std::string& patterns) {
    std::error_code ec;
    return matchingFiles(folderFiles(folder, ec), patterns);
}

std::vector<std::string> matchingFiles(std::vector<std::string> names,
                                       const std::string& patterns) {
    std::erase_if(names, [&](const std::string& name) { return !matchesPattern(name, patterns); });
    // Each name is lowered once, not once a comparison, and its bytes' top bit flipped: the
    // byte-wise compare of the keys then orders them as plain chars, as before, with bytes of
    // non-ASCII names ahead of ASCII ones. Only indices move while sorting, not the names.
    std::vector<std::string> keys(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        keys[i].resize(names[i].size());
        std::transform(names[i].begin(), names[i].end(), keys[i].begin(),
                       [](char c) { return static_cast<char>(foldedChar(c) ^ 0x80); });
    }
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(),
              [&keys](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (const std::size_t i : order)
        sorted.push_back(std::move(names[i]));
    return sorted;
}

} // namespace velk
