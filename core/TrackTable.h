#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace velk {

/// The message being assembled: twenty slots indexed 1 to 20, of which 1 to N are used
/// (N = rows of lstList1, at most 16). The spare slots exist because the delete's shift
/// reads slot N + 1.
struct TrackTable {
    static constexpr int slotCount = 20;
    static constexpr int maxTracks = 16;

    struct Slot {
        std::string srcPath;
        std::int16_t trackNo = 0;
        std::uint8_t playMode = 0;
    };

    std::int16_t trackCount = 0;
    std::int16_t curSlot = 0;
    std::int32_t messageBytes = 0;
    std::int32_t copiedBytes = 0;

    /// Slot i, 1-based; a slot outside 1 to 20 is a programming fault and throws.
    Slot& slot(int i) { return m_slots.at(checked(i)); }
    const Slot& slot(int i) const { return m_slots.at(checked(i)); }

private:
    static std::size_t checked(int i) {
        if (i < 1 || i > slotCount)
            throw std::out_of_range("track slot " + std::to_string(i) + " outside 1 to 20");
        return static_cast<std::size_t>(i - 1);
    }

    std::array<Slot, slotCount> m_slots{};
};

} // namespace velk
