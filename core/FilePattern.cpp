#include "FilePattern.h"

#include "Paths.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace velk {

namespace {

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool endsWithIgnoringCase(const std::string& s, const std::string& suffix) {
    if (suffix.size() > s.size())
        return false;
    return std::equal(suffix.rbegin(), suffix.rend(), s.rbegin(),
                      [](char a, char b) { return lower(a) == lower(b); });
}

bool matchesOne(const std::string& name, const std::string& pattern) {
    if (pattern == "*" || pattern == "*.*")
        return true;
    if (pattern.size() > 1 && pattern[0] == '*')
        return endsWithIgnoringCase(name, pattern.substr(1));
    return name.size() == pattern.size() && endsWithIgnoringCase(name, pattern);
}

} // namespace

bool matchesPattern(const std::string& name, const std::string& patterns) {
    std::size_t start = 0;
    while (start <= patterns.size()) {
        const std::size_t end = std::min(patterns.find(';', start), patterns.size());
        if (end > start && matchesOne(name, patterns.substr(start, end - start)))
            return true;
        start = end + 1;
    }
    return false;
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

std::vector<std::string> filesShown(const FolderListing& listing, const std::string& patterns) {
    std::vector<std::string> names;
    for (const FolderEntry& entry : listing.entries)
        if (!entry.folder || entry.link)
            names.push_back(entry.name);
    return matchingFiles(std::move(names), patterns);
}

std::vector<std::string> listFiles(const std::string& folder, const std::string& patterns) {
    std::error_code ec;
    return matchingFiles(folderFiles(folder, ec), patterns);
}

std::vector<std::string> matchingFiles(std::vector<std::string> names, const std::string& patterns) {
    std::erase_if(names, [&](const std::string& name) { return !matchesPattern(name, patterns); });
    // Each name lowered once, not once a comparison: a folder of 20,000 tracks sorts in a blink.
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(names.size());
    for (std::string& name : names) {
        std::string key = name;
        std::transform(key.begin(), key.end(), key.begin(), lower);
        keyed.emplace_back(std::move(key), std::move(name));
    }
    // Compared as plain chars, as before: bytes of non-ASCII names sort ahead of ASCII ones.
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return std::lexicographical_compare(a.first.begin(), a.first.end(), b.first.begin(), b.first.end());
    });
    for (std::size_t i = 0; i < keyed.size(); ++i)
        names[i] = std::move(keyed[i].second);
    return names;
}

} // namespace velk
