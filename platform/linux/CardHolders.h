#pragma once

#include <string>
#include <vector>

namespace velk {

/// The programs that keep a card from being unmounted: those with a file or folder open at
/// or below one of `mountPoints`, or standing in one (their current or root folder, or their
/// own program file), each as "bash (pid 4242)", by process number. The proc tree is read
/// below `procRoot`; processes this user may not look into are not seen. Only links are
/// read, never followed, so a card that no longer answers cannot stall the search.
[[nodiscard]] std::vector<std::string> programsUsing(const std::string& procRoot,
                                                     const std::vector<std::string>& mountPoints);

} // namespace velk
