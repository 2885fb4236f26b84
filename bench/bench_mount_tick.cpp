// The card monitor's tick on a reader whose card nothing has mounted, with the Linux drive
// answers and the UDisks2 mount requests: no system bus, a stand-in UDisks2 that refuses, and
// one that never answers; and, to compare with, the tick on the same card mounted. Needs root (a
// removable loop device, a private mount namespace) and, for the stand-in, dbus-daemon and
// python3-dbusmock. "slowest_cpu_us" is the processor time of the slowest single tick, which
// includes the ticks that open the bus and handle UDisks2's answers; processor time, because on a
// busy machine a tick's wall time is mostly waiting.
#include "core/CardMonitor.h"
#include "core/Module1.h"
#include "platform/linux/LinuxSystem.h"
#include "support/FakeForm.h"
#include "support/LoopCard.h"
#include "support/PrivateBus.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include <sys/mount.h>
#include <time.h>

namespace {

using velk::test::LoopCard;
using velk::test::PrivateBus;

double threadMicroseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

/// Why the loop card cannot be made here, or empty.
std::string cannotRun() {
    if (std::string why = LoopCard::unavailableReason(); !why.empty())
        return why;
    static const std::string namespaceError = LoopCard::enterPrivateMountNamespace();
    return namespaceError;
}

/// `answer` is what the stand-in does; null runs without a bus, "ready" leaves the card mounted
/// for the tick to compare with.
void tickUnmounted(benchmark::State& state, const char* answer) {
    if (const std::string why = cannotRun(); !why.empty()) {
        state.SkipWithError(why.c_str());
        return;
    }
    const bool ready = answer && std::string(answer) == "ready";
    std::unique_ptr<PrivateBus> bus;
    if (answer && !ready) {
        if (const std::string why = PrivateBus::unavailableReason(); !why.empty()) {
            state.SkipWithError(why.c_str());
            return;
        }
        bus = std::make_unique<PrivateBus>();
    } else {
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/velk-bench-bus", 1);
    }
    const LoopCard card;
    const std::string mountPoint = card.mountPoint();
    if (!ready)
        ::umount2(mountPoint.c_str(), 0);
    if (bus)
        bus->startUDisks2(std::string("{\"device\": \"") + card.device() + "\", \"answer\": \"" +
                          answer + "\"}");

    const velk::LinuxSystem system;
    velk::Module1 module;
    velk::test::FakeForm form;
    form.setText(velk::Control::Drive1, card.device());
    velk::CardMonitor monitor(module, form, system);
    double slowest = 0;
    for (auto _ : state) {
        const double start = threadMicroseconds();
        monitor.Timer1_Timer();
        slowest = std::max(slowest, threadMicroseconds() - start);
    }
    state.counters["slowest_cpu_us"] = slowest;
    for (const velk::DriveEntry& d : system.drives())
        if (d.designation == card.device())
            state.SetLabel(d.label);
    if (!answer)
        ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
}

void ReadyCardForComparison(benchmark::State& state) {
    tickUnmounted(state, "ready");
}
BENCHMARK(ReadyCardForComparison)->Unit(benchmark::kMicrosecond);

void UnmountedNoBus(benchmark::State& state) {
    tickUnmounted(state, nullptr);
}
BENCHMARK(UnmountedNoBus)->Unit(benchmark::kMicrosecond);

void UnmountedRefused(benchmark::State& state) {
    tickUnmounted(state, "refuse");
}
BENCHMARK(UnmountedRefused)->Unit(benchmark::kMicrosecond);

void UnmountedAwaitingUDisks2(benchmark::State& state) {
    tickUnmounted(state, "slow");
}
BENCHMARK(UnmountedAwaitingUDisks2)->Unit(benchmark::kMicrosecond);

} // namespace

namespace {

// The tick that meets a new card: it opens the bus and sends the first question. A fresh
// system for each tick, so that every one of them is a first.
void FirstTickOfAnInsertion(benchmark::State& state) {
    if (const std::string why = cannotRun() + PrivateBus::unavailableReason(); !why.empty()) {
        state.SkipWithError(why.c_str());
        return;
    }
    PrivateBus bus;
    const LoopCard card;
    ::umount2(card.mountPoint().c_str(), 0);
    bus.startUDisks2(std::string("{\"device\": \"") + card.device() +
                     "\", \"answer\": \"refuse\"}");
    velk::Module1 module;
    velk::test::FakeForm form;
    form.setText(velk::Control::Drive1, card.device());
    for (auto _ : state) {
        state.PauseTiming();
        auto system = std::make_unique<velk::LinuxSystem>();
        velk::CardMonitor monitor(module, form, *system);
        state.ResumeTiming();
        monitor.Timer1_Timer();
        state.PauseTiming();
        system.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(FirstTickOfAnInsertion)->Unit(benchmark::kMicrosecond)->Iterations(300);

} // namespace
