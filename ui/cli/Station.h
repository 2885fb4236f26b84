#pragma once

#include "CardJob.h"

namespace velk {
class SystemPort;
}

namespace velk::cli {

/// `velk-card programme --each-inserted`: waits for cards and programmes every card put into
/// any reader (never a system disk, which answers as no reader), each on a thread of its own,
/// leaving alone a card that already holds exactly the list, until Ctrl+C or `count` cards
/// (0 for no end). A card is taken once for each insertion. Returns the exit status: 130 when
/// ended by Ctrl+C, else 0 when every card was verified or already held the list.
[[nodiscard]] int runStation(const SystemPort& system, const CardOrder& order, int count,
                             Reporter& reporter);

} // namespace velk::cli
