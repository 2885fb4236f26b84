#include "FilePattern.h"

#include "Paths.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

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
        const auto status = it->symlink_status(ec);
        if (ec)
            break;
        if (fs::is_directory(status))
            continue;
        // string() would give the narrow encoding, which on Windows is the ANSI code page.
        names.push_back(utf8Path(it->path().filename()));
    }
    return names;
}

std::vector<std::string> listFiles(const std::string& folder, const std::string& patterns) {
    std::error_code ec;
    return matchingFiles(folderFiles(folder, ec), patterns);
}

std::vector<std::string> matchingFiles(std::vector<std::string> names, const std::string& patterns) {
    std::erase_if(names, [&](const std::string& name) { return !matchesPattern(name, patterns); });
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [](char x, char y) { return lower(x) < lower(y); });
    });
    return names;
}

} // namespace velk
