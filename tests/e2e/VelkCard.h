#pragma once

// velk-card run as its own program, as an operator or a script runs it.

#include "support/Bytes.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace velk::test {

struct Output {
    int status = -1;
    std::string out;
    std::string err;
};

/// Runs `command` in a shell, its output kept in `scratch`.
inline Output runShell(const std::string& command, const std::filesystem::path& scratch) {
    const std::filesystem::path out = scratch / "out", err = scratch / "err";
    const int status = std::system((command + " >" + out.string() + " 2>" + err.string()).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readBytes(out), readBytes(err)};
}

/// Runs velk-card with `arguments` and no terminal (its input is empty), in the folder `from`.
inline Output velkCardIn(const std::filesystem::path& from, const std::string& arguments,
                         const std::filesystem::path& scratch) {
    return runShell("cd '" + from.string() + "' && " + VELK_CARD + " " + arguments + " </dev/null",
                    scratch);
}

} // namespace velk::test
