#include "CardReader.h"

#include "SystemPort.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace velk {

namespace {

std::string folded(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// "/media/card/" and "/media/card" are one folder; a bare root keeps its separator.
std::string withoutTrailingSeparator(std::string path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\'))
        path.pop_back();
    return path;
}

} // namespace

std::string readerFor(const SystemPort& system, const std::string& card) {
    const std::vector<DriveEntry> drives = system.drives();
    for (const DriveEntry& d : drives)
        if (folded(d.designation) == folded(card))
            return d.designation;
    const std::string folder = withoutTrailingSeparator(card);
    for (const DriveEntry& d : drives) {
        const RootFolder root = system.rootFolder(d.designation);
        if (root.status == RootFolder::Status::ok && withoutTrailingSeparator(root.path) == folder)
            return d.designation;
    }
    return card;
}

} // namespace velk
