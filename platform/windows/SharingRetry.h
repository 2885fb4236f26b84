#pragma once

#include <functional>

namespace velk {

/// Calls `attempt` until it succeeds, for as long as it fails because another program holds
/// the file without sharing it (ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION): a scan, a
/// preview or an indexer lets go within moments. Gives up after about two seconds of short
/// sleeps, or at once on any other failure. `attempt` returns false with GetLastError() set,
/// as the Win32 calls do; when it gives up, GetLastError() is the last attempt's.
/// `betweenTries` runs after each sleep, so that a caller on the window's thread can let the
/// window answer; what it throws ends the tries. Without it `attempt` is tried once.
[[nodiscard]] bool retryWhileShared(const std::function<bool()>& attempt,
                                    const std::function<void()>& betweenTries = {});

/// True for the errors that retryWhileShared waits out.
[[nodiscard]] bool heldByAnotherProgram(unsigned long error);

} // namespace velk
