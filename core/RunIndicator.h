#pragma once

#include <cstdint>

namespace velk {

/// What a window shows of a programming run outside itself (its taskbar button on Windows).
enum class RunShown : std::uint8_t {
    none,
    progress, ///< a run is going on, as far as the progress bar shows
    failed,   ///< a run failed, until the guidance box stops saying so
};

/// Follows the runs for that outside show. A run that fails turns the guidance box red; its
/// failure is shown while the message box says why and after, until the guidance box turns
/// to something else.
class RunIndicator {
public:
    /// The operator pressed Programme while no run was going on.
    void runStarts() { m_ran = true; }
    /// What to show now, from the run-in-progress flag and the guidance box's colour.
    [[nodiscard]] RunShown now(bool running, std::uint32_t guidance);

private:
    bool m_ran = false;
};

} // namespace velk
