#pragma once

// The programs a loop card is made, mounted, checked and read back with, and what they need
// from the system.

#include <cerrno>
#include <string>
#include <vector>

#include <sys/types.h>

namespace velk::test {

/// Throws std::runtime_error with the step that failed and the system's message for `error`.
[[noreturn]] void failStep(const std::string& step, int error = errno);

/// The full path of a system tool, or empty when none is installed.
[[nodiscard]] std::string findTool(const std::string& tool);

/// Starts a tool (a full path) with its output in `log`; throws when it cannot be started.
pid_t startTool(const std::vector<std::string>& argv, const std::string& log,
                const std::vector<std::string>& extraEnv = {});

/// Runs a tool to completion with its output in `log`; throws with that output on failure.
void runTool(const std::vector<std::string>& argv, const std::string& log,
             const std::vector<std::string>& extraEnv = {});

/// True when the kernel itself mounts `fsType`.
[[nodiscard]] bool kernelHas(const std::string& fsType);

/// How a FUSE driver started in the foreground came out of its mounting.
enum class FuseStart { mounted, ended, tooSlow };

/// Waits up to 10 s for the FUSE driver `pid` to mount on `at`. When it ended first, it has
/// been waited for.
[[nodiscard]] FuseStart waitForFuseMount(const std::string& at, pid_t pid);

} // namespace velk::test
