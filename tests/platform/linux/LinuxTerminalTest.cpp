// Interrupts as the command line sees them on Linux: each signal that ends a terminal program
// by default is counted instead, and a system call it interrupts goes on. The program sends
// the signals to itself.
#include "platform/Terminal.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <utility>

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace velk {
namespace {

TEST(Interrupts, CtrlCTerminationAndAClosedTerminalAreEachCounted) {
    catchInterrupts();
    const int before = interruptCount();
    int expected = before;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGTERM}) {
        // A signal sent to this single-threaded process is handled before kill returns.
        ASSERT_EQ(::kill(::getpid(), signal), 0);
        EXPECT_EQ(interruptCount(), ++expected) << strsignal(signal);
    }
}

/// True while the thread `tid` of this process waits in the system call `number`.
bool waitsIn(pid_t tid, long number) {
    std::ifstream syscall("/proc/self/task/" + std::to_string(tid) + "/syscall");
    long current = -1;
    return static_cast<bool>(syscall >> current) && current == number;
}

TEST(Interrupts, AReadThatASignalInterruptsGoesOn) {
    catchInterrupts();
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    std::promise<std::pair<pthread_t, pid_t>> reader;
    auto read = std::async(std::launch::async, [&] {
        reader.set_value({::pthread_self(), ::gettid()});
        char byte = 0;
        const ssize_t got = ::read(pipe[0], &byte, 1);
        return got == 1 ? std::string(1, byte) : std::string("read failed: ") + strerror(errno);
    });
    const auto [thread, tid] = reader.get_future().get();
    while (!waitsIn(tid, SYS_read))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const int before = interruptCount();
    ASSERT_EQ(::pthread_kill(thread, SIGTERM), 0);
    while (interruptCount() == before)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(::write(pipe[1], "x", 1), 1);
    EXPECT_EQ(read.get(), "x");
    ::close(pipe[0]);
    ::close(pipe[1]);
}

} // namespace
} // namespace velk
