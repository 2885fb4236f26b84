#include "SubFolders.h"

#include <algorithm>
#include <utility>

namespace velk {

namespace {

// Small letters for the alphabets folders are named in here: Latin with its accented letters,
// Greek and Cyrillic. Folding every script would take Unicode's tables, which the standard
// library does not carry; any other character sorts as itself.
char32_t folded(char32_t c) {
    const auto in = [c](char32_t first, char32_t last) { return c >= first && c <= last; };
    if (in(U'A', U'Z') || (in(0xC0, 0xDE) && c != 0xD7) || in(0x391, 0x3AB) || in(0x410, 0x42F))
        return c + 0x20;
    if (in(0x400, 0x40F))
        return c + 0x50;
    // Latin Extended-A sets each capital just before its small letter.
    if (((in(0x100, 0x137) || in(0x14A, 0x177)) && c % 2 == 0) ||
        ((in(0x139, 0x148) || in(0x179, 0x17E)) && c % 2 == 1))
        return c + 1;
    return c == 0x178 ? char32_t{0xFF} : c;
}

// The name's characters folded, so that "Ärger" and "ärger" sort together, after "Zoo" as the
// system lists sort them. A byte that starts no UTF-8 sequence stands for itself.
std::u32string sortKey(const std::string& utf8) {
    std::u32string key;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0x7Fu >> length);
        std::size_t n = 1;
        for (; n < length && i + n < utf8.size(); ++n)
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + n]) & 0x3Fu);
        key.push_back(folded(c));
        i += n;
    }
    return key;
}

} // namespace

std::optional<std::vector<std::string>> shownSubfolders(const FolderListing& listing) {
    if (!listing.listed)
        return std::nullopt;
    // Each name folded once, not once a comparison: a folder of thousands sorts in a blink.
    std::vector<std::pair<std::u32string, std::string>> keyed;
    for (const FolderEntry& entry : listing.entries)
        if (entry.folder && !entry.hidden && !entry.name.starts_with('.'))
            keyed.emplace_back(sortKey(entry.name), entry.name);
    std::sort(keyed.begin(), keyed.end());
    std::vector<std::string> names;
    names.reserve(keyed.size());
    for (auto& [key, name] : keyed)
        names.push_back(std::move(name));
    return names;
}

} // namespace velk
