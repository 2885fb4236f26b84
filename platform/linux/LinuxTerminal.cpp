#include "platform/Terminal.h"

#include <atomic>
#include <cerrno>
#include <csignal>

#include <poll.h>
#include <unistd.h>

namespace velk {

namespace {

// Lock-free, so the signal handler may touch it.
std::atomic<int> interrupts{0};
static_assert(std::atomic<int>::is_always_lock_free);

void countInterrupt(int) {
    interrupts.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

bool isTerminal(StandardStream stream) {
    switch (stream) {
    case StandardStream::input:
        return ::isatty(STDIN_FILENO) == 1;
    case StandardStream::output:
        return ::isatty(STDOUT_FILENO) == 1;
    case StandardStream::error:
        return ::isatty(STDERR_FILENO) == 1;
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

int interruptCount() {
    return interrupts.load(std::memory_order_relaxed);
}

// Byte by byte, so that nothing after the line is taken from whoever reads next; an
// interrupt is looked for every tenth of a second.
bool readAnswer(std::string& line) {
    line.clear();
    const int seen = interruptCount();
    for (;;) {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        if (interruptCount() != seen)
            return false;
        const int ready = ::poll(&input, 1, 100);
        if (ready < 0 && errno != EINTR)
            return false;
        if (ready <= 0)
            continue;
        char c = 0;
        const ssize_t n = ::read(STDIN_FILENO, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return !line.empty();
        if (c == '\n')
            return true;
        line += c;
    }
}

} // namespace velk
