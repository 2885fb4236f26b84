#include "TrackList.h"

#include "Colours.h"
#include "FilePattern.h"
#include "FormPort.h"
#include "Module1.h"
#include "Paths.h"
#include "Sentence.h"
#include "SystemPort.h"
#include "Texts.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <system_error>

namespace velk {

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t largestCount = std::numeric_limits<std::int32_t>::max();

std::int64_t presentSize(const SystemPort& system, const std::string& path) {
    const std::optional<EntryStamp> stamp = system.fileStamp(path);
    if (!stamp)
        return 0;
    return static_cast<std::int64_t>(
        std::min<std::uint64_t>(stamp->size, static_cast<std::uint64_t>(largestCount)));
}

// Whole part of p with a blank where a minus sign would stand.
std::string percentDigits(double p) {
    const auto whole = static_cast<long long>(std::floor(p));
    return whole < 0 ? std::to_string(whole) : " " + std::to_string(whole);
}

} // namespace

TrackList::TrackList(Module1& state, FormPort& form, const SystemPort& system)
    : m_state(state), m_form(form), m_system(system) {}

void TrackList::showGuidance(const std::string& message, std::uint32_t colour) {
    m_form.setText(Control::txtTEXT1, message);
    m_form.setBackColour(Control::txtTEXT1, colour);
}

void TrackList::File1_DblClick() {
    if (m_state.runInProgress)
        return;
    const int selected = m_form.selectedRow(Control::File1);
    if (selected < 0 || selected >= m_form.rowCount(Control::File1))
        return;
    addTrack(m_form.text(Control::File1), m_form.rowText(Control::File1, selected));
}

void TrackList::lstList1_DropFiles(const std::vector<std::string>& paths) {
    if (m_state.runInProgress)
        return;
    std::string refused;
    for (const std::string& path : paths) {
        const fs::path p = fsPath(path);
        const std::string name = utf8Path(p.filename());
        if (!isAudioFile(name)) {
            refused += (refused.empty() ? "" : ", ") + name;
            continue;
        }
        // A refused add has put its reason in the guidance box; later files would hide it.
        if (!addTrack(utf8Path(p.parent_path()), name))
            return;
    }
    if (!refused.empty())
        showGuidance(text::dropRefused + refused, colour::red);
}

bool TrackList::addTrack(const std::string& folder, const std::string& name, std::uint8_t mode) {
    showGuidance(text::selectSource, colour::yellow);
    const int listed = m_form.rowCount(Control::lstList1);
    if (listed >= TrackTable::maxTracks) {
        showGuidance(text::maxTracks, colour::red);
        return false;
    }

    if (!isAudioFile(name)) {
        showGuidance(text::dropRefused + name, colour::red);
        return false;
    }
    const std::string path = joinPath(folder, name);
    // Measured before any counter moves, so a refused file leaves the table as it was.
    const MeasuredSize size = measureFile(m_system, path);
    if (!size.ok()) {
        showGuidance(fill(text::cannotRead, {{"file", name}, {"reason", size.error}}), colour::red);
        return false;
    }

    TrackTable& t = m_state.tracks;
    t.curSlot = static_cast<std::int16_t>(listed + 1);
    t.trackCount = t.curSlot;
    TrackTable::Slot& slot = t.slot(t.curSlot);
    slot.srcPath = path;

    // cardBytes never exceeds the 32-bit range, so this test also refuses every overflow.
    const std::int64_t total = static_cast<std::int64_t>(t.messageBytes) + size.bytes;
    if (total > m_state.cardBytes) {
        showGuidance(text::exceedsCard, colour::red);
        return false;
    }
    t.messageBytes = static_cast<std::int32_t>(total);

    slot.trackNo = t.trackCount;
    slot.playMode = mode;
    m_form.addRow(Control::lstList1, name);
    m_form.addRow(Control::lstList2, std::to_string(t.trackCount));
    m_form.addRow(Control::lstListMode, std::to_string(mode));

    gtflens();
    updateGauge();
    return true;
}

void TrackList::gtflens() {
    TrackTable& t = m_state.tracks;
    t.copiedBytes = 0;
    const int listed = std::min(m_form.rowCount(Control::lstList1), TrackTable::slotCount);
    std::int64_t total = 0;
    for (int s = 1; s <= listed; ++s) {
        const std::string& path = t.slot(s).srcPath;
        if (!path.empty())
            total += presentSize(m_system, path);
    }
    // Files that grew past the 32-bit range since they were added read as the largest count,
    // which every card is smaller than, so the capacity checks still refuse them.
    t.copiedBytes = static_cast<std::int32_t>(std::min(total, largestCount));
    t.messageBytes = t.copiedBytes;
}

void TrackList::updateGauge() {
    const std::int32_t card = m_state.cardBytes;
    double p = 0.0;
    if (card > 0)
        p = static_cast<double>(m_state.tracks.messageBytes) / card * 100.0;
    m_form.setText(Control::Label7, text::gaugePrefix + percentDigits(p) + "%");
    m_form.setProgress(std::clamp(static_cast<float>(p), 0.0f, 100.0f));
}

} // namespace velk
