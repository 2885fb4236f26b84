#include "CardCheck.h"

#include "CardFiles.h"
#include "CardImage.h"
#include "CommandLineTexts.h"
#include "IndexReader.h"
#include "Paths.h"
#include "Sentence.h"
#include "SystemPort.h"
#include "Texts.h"
#include "TrackTable.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <system_error>

namespace velk {

namespace {

/// The card's index as the device gives it back, one byte more than any index has, so that
/// an oversized file reads as the wrong length. Nullopt with `reason` set when it cannot be read.
std::optional<std::vector<std::uint8_t>> indexOnCard(const SystemPort& system,
                                                     const std::string& path, std::string& reason) {
    std::error_code ec;
    const std::unique_ptr<OpenFile> file = system.openFile(path, OpenMode::readFromDevice, ec);
    if (!file) {
        reason = system.describe(ec);
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(largestIndexBytes + 1);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t n =
            file->read(reinterpret_cast<char*>(bytes.data()) + done, bytes.size() - done, ec);
        if (ec) {
            reason = system.describe(ec);
            return std::nullopt;
        }
        if (n == 0)
            break;
        done += n;
    }
    bytes.resize(done);
    return bytes;
}

} // namespace

std::vector<std::string> cardDifferences(const SystemPort& system, const std::string& root,
                                         const TrackTable& tracks) {
    const std::string indexPath = joinPath(root, indexFileName);
    std::string reason;
    const auto bytes = indexOnCard(system, indexPath, reason);
    if (!bytes)
        return {indexPath + text::runReasonSeparator + reason};
    const IndexContent index = parseIndex(*bytes);
    if (!index.ok())
        return {indexPath + text::runReasonSeparator + index.error};

    std::vector<std::string> differences;
    const int held = static_cast<int>(index.records.size());
    const int listed = tracks.trackCount;
    if (held != listed)
        differences.push_back(fill(
            text::verifyCount, {{"card", std::to_string(held)}, {"list", std::to_string(listed)}}));
    for (int slot = 1; slot <= std::min(held, listed); ++slot) {
        const IndexRecord& record = index.records[static_cast<std::size_t>(slot - 1)];
        const TrackTable::Slot& wanted = tracks.slot(slot);
        const std::string track = std::to_string(slot);
        if (record.playMode != wanted.playMode)
            differences.push_back(
                fill(text::verifyMode, {{"track", track},
                                        {"card", std::to_string(record.playMode)},
                                        {"list", std::to_string(wanted.playMode)}}));
        try {
            if (const auto at = firstDifferenceFromSource(
                    system, cardFilePath(root, record.cardName), wanted.srcPath))
                differences.push_back(fill(text::verifyDiffers,
                                           {{"track", track},
                                            {"file", utf8Path(fsPath(wanted.srcPath).filename())},
                                            {"byte", std::to_string(*at)}}));
        } catch (const CardError& e) {
            differences.push_back(
                fill(text::verifyUnreadable,
                     {{"track", track}, {"file", e.path()}, {"reason", e.reason()}}));
        }
    }
    return differences;
}

} // namespace velk
