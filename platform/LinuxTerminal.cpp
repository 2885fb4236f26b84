#include "Terminal.h"

#include <atomic>
#include <csignal>

#include <unistd.h>

namespace velk {

namespace {

// Lock-free, so the signal handler may touch it.
std::atomic<int> interrupts{0};
static_assert(std::atomic<int>::is_always_lock_free);

void countInterrupt(int) { interrupts.fetch_add(1, std::memory_order_relaxed); }

} // namespace

bool isTerminal(StandardStream stream) {
    switch (stream) {
    case StandardStream::input: return ::isatty(STDIN_FILENO) == 1;
    case StandardStream::output: return ::isatty(STDOUT_FILENO) == 1;
    case StandardStream::error: return ::isatty(STDERR_FILENO) == 1;
    }
    return false;
}

std::vector<std::string> commandLineArguments(int argc, char* argv[]) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

void useUtf8Console() {}

void suppressDriveErrorBoxes() {}

// SA_RESTART: a card write or a read that a signal interrupts goes on instead of failing with
// EINTR, so only the program's own safe points decide where a run stops.
void catchInterrupts() {
    struct sigaction action = {};
    action.sa_handler = countInterrupt;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

int interruptCount() { return interrupts.load(std::memory_order_relaxed); }

} // namespace velk
