#include "ProgrammingRun.h"

#include "CardFiles.h"
#include "FormPort.h"
#include "KeptSources.h"
#include "Module1.h"
#include "Paths.h"
#include "RunError.h"
#include "SystemPort.h"
#include "Texts.h"

#include <limits>
#include <system_error>

// The run's copies of the tracks and their read-backs, each in chunks with a yield between.

namespace velk {

void ProgrammingRun::copySlot(int slot, int lastSlot) {
    TrackTable& tracks = m_state.tracks;
    const std::string source = tracks.slot(slot).srcPath;
    const std::int32_t before = tracks.copiedBytes;

    if (!source.empty()) {
        m_form.setText(Control::Label7, text::copyingPrefix + source);
        pause();

        const MeasuredSize size = measureFile(m_system, source, [this] { pause(); });
        if (!size.ok())
            throw RunError(text::stepMeasure, source, size.error);
        constexpr std::int64_t largest = std::numeric_limits<std::int32_t>::max();
        if (size.bytes + before > largest)
            throw RunError(text::stepCount, source, text::countOverflow);
        tracks.copiedBytes = static_cast<std::int32_t>(before + size.bytes);
        pause();

        const std::string target = cardFilePath(m_root, m_cardName[slot]);
        // A pulled card leaves its mount folder behind, which must not receive the copies.
        checkStillTheCard();
        const EntryStamp* pinned = m_pins.find(source);
        attempt(text::stepCopy, [&] {
            m_copied.push_back(copyFile(
                m_system, source, target,
                pinned ? std::optional<EntryStamp>(*pinned) : std::nullopt,
                [&](std::uint64_t done) {
                    // The whole track is shown once it is copied.
                    if (static_cast<std::int64_t>(done) < size.bytes)
                        showProgress(before + static_cast<std::int64_t>(done), slot, lastSlot);
                    pause();
                }));
        });
        m_tracksWritten.push_back(m_cardName[slot]);
        m_written[slot] = m_copied.back().content;
        pause();
    }

    showProgress(tracks.copiedBytes, slot, lastSlot);
    pause();
}

// By bytes, so that the bar moves within a long track too; only empty files make the total 0,
// and then the share of slots done still moves the bar to 100.
void ProgrammingRun::showProgress(std::int64_t bytesCopied, int slot, int lastSlot) {
    const std::int32_t total = m_state.tracks.messageBytes;
    m_form.setProgress(total <= 0
                           ? static_cast<float>(static_cast<double>(slot) / lastSlot * 100.0)
                           : static_cast<float>(static_cast<double>(bytesCopied) / total * 100.0));
}

// Through the descriptors that wrote them, once the card is known to be the same one; the
// folder's entries follow, so that a verified file is also a file the card can find.
void ProgrammingRun::flushTracks() {
    checkStillTheCard();
    for (WrittenFile& written : m_copied)
        attempt(text::stepSave, [&] { flushToCard(m_system, written); });
    m_copied.clear();
    if (const std::error_code ec = m_system.flushFolder(m_root))
        throw RunError(text::stepSave, m_root, m_system.describe(ec));
}

// Only what the device gives back counts: a copy that the cache still holds proves nothing.
void ProgrammingRun::verifyTracks(int lastSlot) {
    const TrackTable& tracks = m_state.tracks;
    for (int slot = 1; slot <= lastSlot; ++slot) {
        const std::string source = tracks.slot(slot).srcPath;
        if (source.empty())
            continue;
        m_form.setText(Control::Label7, text::verifyingPrefix + m_cardName[slot]);
        pause();
        checkStillTheCard();
        attempt(text::stepVerify, [&] {
            verifyFile(m_system, cardFilePath(m_root, m_cardName[slot]), m_kept->pathFor(source),
                       m_written.at(slot), [this](std::uint64_t) { pause(); });
        });
    }
}

} // namespace velk
