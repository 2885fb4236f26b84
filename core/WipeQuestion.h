#pragma once

#include "CardWipe.h"

#include <optional>
#include <string>
#include <vector>

namespace velk {

struct Module1;
class FormPort;
class KeptSources;

/// What the operator is asked before a card's root folder is wiped: the card, by its drive
/// and label, which the frame hides in the drive list, and exactly what the wipe deletes,
/// the recordings the run keeps and copies from marked as such.
struct WipeQuestion {
    std::string drive;
    std::string label;
    std::string root;
    const std::vector<RootEntry>& deleted;
    const KeptSources& kept;
};

/// Shows the question in Frame1 with a beep and waits in the event loop until O.K. or
/// CANCEL hides the frame. Returns whether the operator said O.K., or nothing when the
/// program is ending.
[[nodiscard]] std::optional<bool> askToWipe(Module1& state, FormPort& form,
                                            const WipeQuestion& question);

/// The answers to the question: each records its answer and hides the frame.
void answerWipe(Module1& state, FormPort& form, bool wipe);

} // namespace velk
