#pragma once

#include <cstdint>

namespace velk {

struct Module1;
struct SpaceCounts;
class FormPort;
class SystemPort;

/// The destination drive check that runs every 100 ms: sets the ready flag (Label4's back
/// colour), the card capacity `cardBytes` and the monitor's guidance texts.
class CardMonitor {
public:
    /// A larger drive is a hard disk, not a flash card.
    static constexpr std::int64_t largestCardBytes = 2'500'000'000;
    static constexpr std::int32_t reserve = 50000;
    static constexpr int intervalMs = 100;

    /// True for a drive whose total size is past largestCardBytes: no card for the player.
    [[nodiscard]] static bool tooLarge(const SpaceCounts& counts);

    CardMonitor(Module1& state, FormPort& form, const SystemPort& system);

    void Timer1_Timer();
    /// True when the last tick changed what Label4 says: a card came, went or was mounted,
    /// which the destination list's entries may show too. The windows read that list again
    /// then, and only then, so that a tick never waits on the other drives.
    [[nodiscard]] bool statusChanged() const { return m_statusChanged; }

private:
    void tick();
    void showNotFlashCard();

    Module1& m_state;
    FormPort& m_form;
    const SystemPort& m_system;
    bool m_statusChanged = false;
};

} // namespace velk
