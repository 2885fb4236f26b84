#include "SharingRetry.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <chrono>

namespace velk {

namespace {

// Short enough that a window yielding between the tries answers at once, long enough that
// the tries cost nothing next to the scan they wait for.
constexpr DWORD sleepMs = 50;
constexpr auto patience = std::chrono::seconds(2);

} // namespace

bool heldByAnotherProgram(unsigned long error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

bool retryWhileShared(const std::function<bool()>& attempt,
                      const std::function<void()>& betweenTries) {
    // Without a way to let the window answer, the wait would hold it: one try, and the
    // operator, told that another program has the file, tries again.
    if (!betweenTries)
        return attempt();
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (attempt())
            return true;
        const DWORD error = ::GetLastError();
        if (!heldByAnotherProgram(error) || std::chrono::steady_clock::now() >= deadline)
            return false;
        ::Sleep(sleepMs);
        betweenTries();
    }
}

} // namespace velk
