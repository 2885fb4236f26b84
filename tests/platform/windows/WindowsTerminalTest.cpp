// Interrupts as the command line sees them on Windows, from the console this program runs in
// (tests/wine/console.sh): a Ctrl+C that the console sends is counted, and the program goes on.
#include "platform/Terminal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <windows.h>

namespace velk {
namespace {

/// interruptCount() once it reaches `count` or after five seconds: Windows calls the handler
/// on a thread of its own.
int interruptsOnceThereAre(int count) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (interruptCount() < count && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return interruptCount();
}

TEST(Interrupts, EachCtrlCIsCounted) {
    ASSERT_NE(GetConsoleOutputCP(), 0u) << "no console: run through tests/wine/console.sh";
    catchInterrupts();
    catchInterrupts(); // as a second caller would: still one count per Ctrl+C
    const int before = interruptCount();
    for (int i = 1; i <= 2; ++i) {
        ASSERT_TRUE(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) << GetLastError();
        EXPECT_EQ(interruptsOnceThereAre(before + i), before + i);
    }
    // Nothing more comes later.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(interruptCount(), before + 2);
}

} // namespace
} // namespace velk
