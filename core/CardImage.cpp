#include "CardImage.h"

#include "CardFiles.h"
#include "IndexReader.h"
#include "Paths.h"
#include "SystemPort.h"
#include "Texts.h"
#include "TrackTable.h"

#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

namespace velk {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t recordSize = 14;

/// True when the file holds an index as this program writes them.
bool holdsAnIndex(const SystemPort& system, const std::string& path) {
    std::error_code ec;
    return parseIndex(readStart(system, path, largestIndexBytes + 1, ec)).ok();
}

/// Makes `folder` and whichever of its parents are missing.
void makeFolders(const SystemPort& system, const std::string& folder) {
    std::error_code ec;
    if (system.entryKind(folder, true, ec) == EntryKind::folder)
        return;
    const std::string parent = utf8Path(fsPath(folder).parent_path());
    if (!parent.empty() && parent != folder)
        makeFolders(system, parent);
    (void)system.makeFolder(folder, ec);
    if (ec)
        throw CardError(folder, system.describe(ec));
}

} // namespace

CardError::CardError(std::string path, std::string reason, std::string target)
    : std::runtime_error(path + text::runReasonSeparator + reason), m_path(std::move(path)),
      m_reason(std::move(reason)), m_target(std::move(target)) {}

const std::string& CardNames::operator[](int slot) const {
    if (slot < 1 || slot > count)
        throw std::out_of_range("card name slot " + std::to_string(slot) + " outside 1 to 20");
    return m_names[static_cast<std::size_t>(slot - 1)];
}

CardNames buildCardNames() {
    CardNames names;
    for (int i = 1; i <= CardNames::count; ++i) {
        std::string digits = std::to_string(i);
        if (digits.size() == 1)
            digits.insert(0, "0");
        names.m_names[static_cast<std::size_t>(i - 1)] = "M00000" + digits + ".MP3";
    }
    return names;
}

std::vector<std::uint8_t> indexBytes(const TrackTable& tracks, const CardNames& names) {
    const int n = tracks.trackCount;
    if (n <= 0)
        return {0, 0};

    std::vector<std::uint8_t> bytes;
    bytes.reserve(1 + recordSize * static_cast<std::size_t>(n));
    bytes.push_back(static_cast<std::uint8_t>(n & 0xFF));
    for (int i = 1; i <= n; ++i) {
        const TrackTable::Slot& slot = tracks.slot(i);
        bytes.push_back(static_cast<std::uint8_t>(slot.trackNo & 0xFF));
        bytes.push_back(slot.playMode);
        const std::string& name = names[i];
        bytes.insert(bytes.end(), name.begin(), name.end());
    }
    return bytes;
}

std::vector<std::uint8_t> writeIndexFile(const SystemPort& system, TrackTable& tracks,
                                         int listedRows, const CardNames& names,
                                         const std::string& path) {
    tracks.trackCount = static_cast<std::int16_t>(listedRows);
    const std::vector<std::uint8_t> bytes = indexBytes(tracks, names);

    std::error_code ec;
    const EntryKind kind = system.entryKind(path, false, ec);
    if (ec)
        throw CardError(path, system.describe(ec));
    if (kind != EntryKind::missing && (kind != EntryKind::file || !holdsAnIndex(system, path)))
        throw CardError(path, text::notAnIndex);
    // Removing first also replaces an index that cannot be truncated in place.
    if (kind != EntryKind::missing && (ec = system.removeFile(path, {})))
        throw CardError(path, system.describe(ec));

    WrittenFile written = writeFile(system, bytes, path);
    if (const std::error_code closed = written.file->close())
        throw CardError(path, system.describe(closed));
    return bytes;
}

std::string stagedIndexPath(const SystemPort& system) {
    std::error_code ec;
    const fs::path current = fs::current_path(ec);
    if (ec)
        throw CardError(indexFileName, system.describe(ec));
    std::string folder = utf8Path(current);
    if (system.onRemovableMedia(folder)) {
        folder = system.dataFolder();
        if (folder.empty())
            throw CardError(indexFileName, text::noDataFolder);
        makeFolders(system, folder);
    }
    return joinPath(folder, indexFileName);
}

std::string cardFilePath(const std::string& destDrive, const std::string& name) {
    const std::string stem = name.substr(0, 8);
    const std::string extension = name.size() > 8 ? name.substr(8, 4) : std::string();
    return joinPath(destDrive, stem + extension);
}

} // namespace velk
