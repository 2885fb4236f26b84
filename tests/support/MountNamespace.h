#pragma once

#include "support/NeedsRoot.h"

#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace velk::test {

/// Empty once this process mounts in a mount namespace of its own, else why it cannot. Made
/// once per process (a second namespace would gain nothing); what a test mounts there is seen
/// by no other process and vanishes with this one.
inline const std::string& whyNoPrivateMounts() {
    static const std::string why = []() -> std::string {
        if (::unshare(CLONE_NEWNS) != 0) {
            const int error = errno;
            if (std::string notRoot = needsRoot("a private mount namespace");
                error == EPERM && !notRoot.empty())
                return notRoot;
            return std::string("unshare(CLONE_NEWNS): ") + std::strerror(error);
        }
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return std::string("making / private: ") + std::strerror(errno);
        return {};
    }();
    return why;
}

} // namespace velk::test
