#include "CardWipe.h"

#include "CardImage.h"
#include "CaseFold.h"
#include "FilePattern.h"
#include "Paths.h"
#include "Texts.h"

#include <algorithm>
#include <memory>
#include <system_error>

namespace velk {

namespace {

bool isLink(const SystemPort& system, const std::string& path) {
    std::error_code ec;
    return system.entryKind(path, false, ec) == EntryKind::link;
}

} // namespace

std::vector<RootEntry> rootEntries(const SystemPort& system, const std::string& root) {
    const FolderListing listing = system.listFolder(root);
    if (!listing.listed)
        throw CardError(root, system.describe(whyNotListed(listing)));
    std::vector<RootEntry> entries;
    for (const FolderEntry& entry : listing.entries) {
        if (entry.folder && !entry.link)
            continue;
        const std::string path = joinPath(root, entry.name);
        const std::optional<EntryStamp> stamp = system.entryStamp(path);
        if (!stamp)
            throw CardError(path,
                            system.describe(std::make_error_code(std::errc::permission_denied)));
        entries.push_back({entry.name, *stamp, entry.link});
    }
    return entries;
}

std::string changedSinceListed(const SystemPort& system, const std::string& root,
                               const std::vector<RootEntry>& listed) {
    for (const RootEntry& now : rootEntries(system, root)) {
        const auto was = std::find_if(listed.begin(), listed.end(),
                                      [&](const RootEntry& e) { return e.name == now.name; });
        if (was == listed.end() || !(was->stamp == now.stamp))
            return now.name;
    }
    for (const RootEntry& was : listed)
        if (!system.entryStamp(joinPath(root, was.name)))
            return was.name;
    return {};
}

RootEntry placeDummyFile(const SystemPort& system, const std::string& root, bool& created) {
    const std::string path = joinPath(root, dummyFileName);
    if (!isLink(system, path)) {
        std::error_code ec;
        const std::unique_ptr<OpenFile> dummy = system.openFile(path, OpenMode::createOrKeep, ec);
        if (!dummy)
            throw CardError(path, system.describe(ec));
        created = true;
        if ((ec = dummy->close()))
            throw CardError(path, system.describe(ec));
    }
    const std::optional<EntryStamp> stamp = system.entryStamp(path);
    if (!stamp)
        throw CardError(
            path, system.describe(std::make_error_code(std::errc::no_such_file_or_directory)));
    return {dummyFileName, *stamp, isLink(system, path)};
}

void deleteListed(const SystemPort& system, const std::string& folder, const RootEntry& entry,
                  const std::function<void()>& betweenTries) {
    const std::string path = joinPath(folder, entry.name);
    const std::optional<EntryStamp> now = system.entryStamp(path);
    if (!now)
        return;
    if (!(*now == entry.stamp))
        throw CardError(path, text::changedSinceListed);
    const std::error_code ec = system.removeFile(path, betweenTries);
    if (ec && ec != std::errc::no_such_file_or_directory)
        throw CardError(path, system.describeFileError(ec, path));
}

void wipeRoot(const SystemPort& system, const std::string& root,
              const std::vector<RootEntry>& entries, const std::function<void()>& betweenTries) {
    for (const RootEntry& entry : entries)
        deleteListed(system, root, entry, betweenTries);
}

std::string firstFileNotAmong(const SystemPort& system, const std::string& root,
                              const std::vector<std::string>& names) {
    std::error_code ec;
    const std::vector<std::string> files = folderFiles(system, root, ec);
    if (ec)
        throw CardError(root, system.describe(ec));
    for (const std::string& file : files)
        if (std::none_of(names.begin(), names.end(),
                         [&](const std::string& n) { return sameIgnoringCase(file, n); }))
            return file;
    return {};
}

Room roomAfterWipe(const SpaceCounts& space, const std::vector<RootEntry>& deleted,
                   const std::vector<std::uint64_t>& sizes) {
    // A card that gives no cluster size is counted by the byte.
    const std::uint64_t cluster =
        std::max<std::uint64_t>(std::uint64_t{space.sectorsPerCluster} * space.bytesPerSector, 1);
    auto clusters = [cluster](std::uint64_t bytes) {
        return (bytes + cluster - 1) / cluster * cluster;
    };
    Room room;
    for (const std::uint64_t size : sizes)
        room.needed += clusters(size);
    room.free = std::uint64_t{space.freeClusters} * cluster;
    for (const RootEntry& entry : deleted)
        if (!entry.link)
            room.free += clusters(entry.stamp.size);
    return room;
}

} // namespace velk
