#pragma once

// For the Windows suites under Wine: the size of the card in E:, known only when the prefix
// script could make E:'s folder a tmpfs of VELK_WINE_CARD_BYTES (which takes root).

#include "support/NeedsRoot.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace velk::test {

inline std::optional<std::uint64_t> wineCardBytes() {
    const char* bytes = std::getenv("VELK_WINE_CARD_BYTES");
    const char* folder = std::getenv("VELK_WINE_DRIVE_E");
    if (!bytes || !folder)
        return std::nullopt;
    // Wine shows the host's root as Z:, so the host's mount table can be read from here.
    std::ifstream mounts("Z:\\proc\\self\\mounts");
    for (std::string line; std::getline(mounts, line);) {
        std::istringstream fields(line);
        std::string source, mountPoint, type;
        fields >> source >> mountPoint >> type;
        if (mountPoint == folder && type == "tmpfs")
            return std::stoull(bytes);
    }
    return std::nullopt;
}

/// Empty when E: is that card, else the reason to skip a test that needs it. As another user
/// E: is a plain folder, whose volume Wine cannot read, so it is no card at all. As root the
/// card must be there: its test then runs, and fails, rather than skip.
inline std::string whyNoWineCard() {
    if (wineCardBytes())
        return {};
    return needsRoot("E: as a card (a tmpfs of VELK_WINE_CARD_BYTES)");
}

} // namespace velk::test
