#pragma once

// The suite runs as any user. What only root may do (loop devices, mounts, chroot, acting as
// another user) is tested as root and skipped otherwise, with the reason this gives.

#include <unistd.h>

#include <string>

#ifdef _WIN32
#include <fstream>
#include <sstream>
#endif

namespace velk::test {

/// Whether this process runs as root; under Wine, whether Wine runs as root, which decides
/// what the Linux side could make for it (a tmpfs card).
inline bool runsAsRoot() {
#ifdef _WIN32
    // Wine shows the host's root as Z:; the line reads "Uid: real effective saved fs".
    std::ifstream status("Z:\\proc\\self\\status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("Uid:", 0) != 0)
            continue;
        std::istringstream ids(line.substr(4));
        unsigned real = 0, effective = 1;
        ids >> real >> effective;
        return effective == 0;
    }
    return false;
#else
    return ::geteuid() == 0;
#endif
}

/// Empty when this process runs as root, else "<what> needs root": the reason to skip with.
inline std::string needsRoot(const std::string& what) {
    return runsAsRoot() ? std::string() : what + " needs root";
}

} // namespace velk::test
