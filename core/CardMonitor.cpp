#include "CardMonitor.h"

#include "Colours.h"
#include "FormPort.h"
#include "Module1.h"
#include "Sentence.h"
#include "SystemPort.h"
#include "Texts.h"

#include <cmath>
#include <limits>
#include <string>

namespace velk {

namespace {

std::int64_t totalBytes(std::uint32_t sectorsPerCluster, std::uint32_t totalClusters,
                        std::uint32_t bytesPerSector) {
    // The three counts are 32-bit each; their product needs 64 bits for any drive past 2 GiB.
    return static_cast<std::int64_t>(sectorsPerCluster) * totalClusters * bytesPerSector;
}

std::int32_t clampToInt32(std::int64_t bytes) {
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(bytes, std::numeric_limits<std::int32_t>::max()));
}

} // namespace

CardMonitor::CardMonitor(Module1& state, FormPort& form, const SystemPort& system)
    : m_state(state), m_form(form), m_system(system) {}

bool CardMonitor::tooLarge(const SpaceCounts& counts) {
    return totalBytes(counts.sectorsPerCluster, counts.totalClusters, counts.bytesPerSector) >
           largestCardBytes;
}

void CardMonitor::showNotFlashCard() {
    m_form.setBackColour(Control::Label4, colour::red);
    m_form.setText(Control::Label4, text::notFlashCard);
}

void CardMonitor::Timer1_Timer() {
    const std::string before = m_form.text(Control::Label4);
    tick();
    m_statusChanged = m_form.text(Control::Label4) != before;
}

void CardMonitor::tick() {
    MonitorState& m = m_state.monitor;
    const std::string drive = m_form.text(Control::Drive1);

    m.driveType = static_cast<std::int32_t>(m_system.driveType(drive));
    if (m.driveType != static_cast<std::int32_t>(drive_type::removable)) {
        m_form.setText(Control::txtTEXT1, text::selectDestination);
        showNotFlashCard();
        return;
    }

    m.reserveBytes = reserve;
    const auto space = m_system.diskSpace(drive);
    m.spaceOk = space ? 1 : 0;
    if (space) {
        m.sectorsPerCluster = space->sectorsPerCluster;
        m.bytesPerSector = space->bytesPerSector;
        m.freeClusters = space->freeClusters;
        m.totalClusters = space->totalClusters;
    }
    // Counts survive a failed query, so the size is formed from the last answer either way.
    const std::int64_t size = totalBytes(m.sectorsPerCluster, m.totalClusters, m.bytesPerSector);
    m.driveBytes = clampToInt32(size);

    if (!m.spaceOk) {
        m_form.setText(Control::txtTEXT1, text::insertCard);
        m_form.setBackColour(Control::txtTEXT1, colour::yellow);
        m_form.setBackColour(Control::Label4, colour::red);
        m_form.setText(Control::Label4, text::insertCard);
        m_form.setTimer(intervalMs, true);
        // A reader whose card nothing has mounted answers like an empty one until it is.
        m_system.requestMount(drive);
        return;
    }
    // Only a drive that answered has a size; a pulled big card must read "insert", not "not a
    // card".
    if (size > largestCardBytes) {
        showNotFlashCard();
        return;
    }

    m_state.cardBytes = m.driveBytes - m.reserveBytes;
    if (m_form.backColour(Control::Label4) == colour::red) {
        m_form.setText(Control::txtTEXT1, text::selectSource);
        m_form.setBackColour(Control::txtTEXT1, colour::yellow);
    }
    m_form.setBackColour(Control::Label4, colour::buttonFace);
    const auto megabytes =
        static_cast<std::int64_t>(std::floor(static_cast<double>(size) / 1e6)) + 1;
    m_form.setText(Control::Label4,
                   fill(text::capacity, {{"megabytes", std::to_string(megabytes)}}));
}

} // namespace velk
