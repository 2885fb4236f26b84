#pragma once

// The suite runs as any user. What only root may do (loop devices, mounts, chroot, acting as
// another user) is tested as root and skipped otherwise, with the reason this gives.

#include <unistd.h>

#include <string>

namespace velk::test {

/// Empty when this process runs as root, else "<what> needs root": the reason to skip with.
inline std::string needsRoot(const std::string& what) {
    return ::geteuid() == 0 ? std::string() : what + " needs root";
}

} // namespace velk::test
