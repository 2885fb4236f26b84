#include "CardCheck.h"

#include "CardFiles.h"
#include "CardImage.h"
#include "Paths.h"
#include "SystemPort.h"
#include "Texts.h"
#include "TrackTable.h"

namespace velk {

std::vector<std::string> cardDifferences(const SystemPort& system, const std::string& root,
                                         const TrackTable& tracks) {
    std::vector<std::string> differences;
    auto check = [&](auto&& operation) {
        try {
            operation();
        } catch (const CardError& e) {
            differences.push_back(e.path() + text::runReasonSeparator + e.reason());
        }
    };
    const CardNames names = buildCardNames();
    check([&] { verifyBytes(system, joinPath(root, indexFileName), indexBytes(tracks, names)); });
    for (int slot = 1; slot <= tracks.trackCount; ++slot)
        check([&] { compareWithSource(system, cardFilePath(root, names[slot]), tracks.slot(slot).srcPath); });
    return differences;
}

} // namespace velk
