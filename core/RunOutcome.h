#pragma once

#include <cstdint>
#include <string>

namespace velk {

/// How a programming run ended, for whoever started it: the window shows it, the command
/// line reports and counts it.
struct RunOutcome {
    enum class Result {
        none,        ///< no run has ended yet
        verified,    ///< every track and the index were read back from the card
        cancelled,   ///< the operator said no to the wipe
        refused,     ///< stopped by a check before anything on the card changed
        failed,      ///< a step failed; `cardChanged` says whether the card was touched
        interrupted, ///< the program is ending; the card holds no index of this run
    };
    Result result = Result::none;
    bool cardChanged = false;
    /// What the operator was told of a refusal or failure; empty otherwise.
    std::string message;
    /// Where the card's own recordings were kept, when a run that did not finish left them there.
    std::string keptFolder;
    /// The total of the tracks' sizes when the run began.
    std::int32_t bytes = 0;
};

} // namespace velk
