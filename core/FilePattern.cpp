#include "FilePattern.h"

#include "CaseFold.h"
#include "SystemPort.h"

#include <algorithm>
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

// A link counts as a file whatever it leads to: the wipe deletes the link, never its target.
std::vector<std::string> fileNames(FolderListing listing) {
    std::vector<std::string> names;
    for (FolderEntry& entry : listing.entries)
        if (!entry.folder || entry.link)
            names.push_back(std::move(entry.name));
    return names;
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

std::vector<std::string> folderFiles(const SystemPort& system, const std::string& folder,
                                     std::error_code& ec) {
    FolderListing listing = system.listFolder(folder);
    ec = listing.listed ? std::error_code() : whyNotListed(listing);
    return fileNames(std::move(listing));
}

std::vector<std::string> filesShown(FolderListing listing, const std::string& patterns) {
    return matchingFiles(fileNames(std::move(listing)), patterns);
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
