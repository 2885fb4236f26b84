#pragma once

#include <iosfwd>

namespace velk {
class SystemPort;
}

namespace velk::cli {

struct Request;

/// Exit statuses of velk-card.
inline constexpr int exitDone = 0;
inline constexpr int exitFailed = 1;
inline constexpr int exitUsage = 2;
/// Ended by Ctrl+C or the end of the terminal, as shells count a SIGINT.
inline constexpr int exitInterrupted = 130;

/// Carries out a parsed request: results on `out`, refusals and failures on `err`. Returns
/// the exit status.
[[nodiscard]] int runCommand(const Request& request, const SystemPort& system, std::ostream& out,
                             std::ostream& err);

} // namespace velk::cli
