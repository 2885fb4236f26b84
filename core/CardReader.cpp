#include "CardReader.h"

#include "CaseFold.h"
#include "CommandLineTexts.h"
#include "PlatformTexts.h"
#include "SystemPort.h"
#include "Texts.h"

#include <algorithm>
#include <vector>

namespace velk {

namespace {

// "/media/card/" and "/media/card" are one folder, as are "E:\" and "E:"; a bare root keeps
// its separator.
std::string withoutTrailingSeparator(std::string path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\'))
        path.pop_back();
    return path;
}

} // namespace

// A drive's name is matched without asking any drive. Only when none matches are the readers
// asked where their cards are mounted: a fixed or network drive is no card whatever its
// folder, and asking it may wait on a server that is gone.
std::string readerFor(const SystemPort& system, const std::string& card) {
    const std::vector<DriveEntry> drives = system.drives();
    const std::string folder = withoutTrailingSeparator(card);
    for (const DriveEntry& d : drives)
        if (sameIgnoringCase(d.designation, folder))
            return d.designation;
    for (const DriveEntry& d : drives) {
        if (system.driveType(d.designation) != drive_type::removable)
            continue;
        const RootFolder root = system.rootFolder(d.designation);
        if (root.status == RootFolder::Status::ok && withoutTrailingSeparator(root.path) == folder)
            return d.designation;
    }
    return card;
}

// The drive lists already say why beside each reader, as "/dev/sdb  (system disk: /)".
std::string whyNoCard(const SystemPort& system, const std::string& reader) {
    const std::vector<DriveEntry> drives = system.drives();
    const auto drive = std::find_if(drives.begin(), drives.end(),
                                    [&](const DriveEntry& d) { return d.designation == reader; });
    if (drive == drives.end())
        return text::cliNoSuchDevice;
    const std::string open = reader + text::driveDetailOpen;
    const std::string close = text::driveDetailClose;
    std::string detail;
    if (drive->label.starts_with(open) && drive->label.ends_with(close))
        detail = drive->label.substr(open.size(), drive->label.size() - open.size() - close.size());
    // A fixed drive's detail is where it is mounted from, which says nothing of why.
    if (system.driveType(reader) != drive_type::removable &&
        !detail.starts_with(text::driveSystemDisk))
        return text::cliNotRemovable;
    return detail;
}

std::string whyNotTheCard(const SystemPort& system, const std::string& reader,
                          const std::string& root, const CardIdentity& card) {
    if (system.driveType(reader) != drive_type::removable)
        return text::noLongerRemovable;
    if (!system.diskSpace(reader))
        return text::noLongerAnswers;
    const RootFolder now = system.rootFolder(reader);
    if (now.status != RootFolder::Status::ok || now.path != root)
        return now.status == RootFolder::Status::ok || now.reason.empty() ? text::rootChanged
                                                                          : now.reason;
    if (system.cardIdentity(root) != card)
        return text::otherCard;
    return {};
}

} // namespace velk
