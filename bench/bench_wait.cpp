// What the programming run costs while it waits for the operator's O.K. or CANCEL: the
// process's CPU time over the wall time of a wait of a few seconds, with the 100 ms card
// monitor running as it does in use.
#include "support/FakeSystem.h"
#include "ui/qt/frmForm1/DriveList.h"
#include "ui/qt/frmForm1/frmForm1.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <ctime>

namespace {

void ConfirmationWait(benchmark::State& state) {
    QTemporaryDir card;
    QTemporaryDir staging;
    QDir::setCurrent(staging.path());
    velk::test::FakeSystem system;
    system.addCard("/dev/sdy", card.path().toStdString());
    system.current = "/dev/sdy";
    velk::qt::frmForm1 form(system);
    form.show();
    auto* cancel = form.findChild<QPushButton*>(QStringLiteral("Command2"));
    const int waitMs = static_cast<int>(state.range(0));

    for (auto _ : state) {
        QTimer::singleShot(
            300, [&] { form.handlers().Timer1_Timer(); }); // ready before the run reads the flag
        form.handlers().Timer1_Timer();
        QTimer::singleShot(waitMs, cancel, &QPushButton::click);
        const std::clock_t cpu0 = std::clock();
        const auto wall0 = std::chrono::steady_clock::now();
        form.handlers().cmdFinish_Click();
        const double cpu = static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC;
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        state.SetIterationTime(wall);
        state.counters["cpu_percent_of_a_core"] = 100.0 * cpu / wall;
    }
}
BENCHMARK(ConfirmationWait)
    ->Arg(3000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                    : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
