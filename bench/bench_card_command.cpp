// velk-card against the shell's tools, on one real card: `velk-card programme --yes` of 16
// tracks of 4 MiB (wipe, copy, flush, read-back from the device, in a process of its own)
// against `cp` + `sync` + `cmp` of the same files, with the copies dropped from the cache
// before `cmp` as the program reads the device. Both in each pass, alternating which goes
// first; counters give each side in ms and their ratio. Needs root for the loop card.
//
// BM_VersionStart times `velk-card --version` from spawn to exit.

#include "TrackFiles.h"
#include "support/LoopCard.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

using bench::Clock;
using bench::msSince;
using bench::trackCount;

/// Runs a program with its output thrown away; throws unless it exits with 0.
void run(std::vector<std::string> arguments) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (std::string& a : arguments)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        throw std::runtime_error("failed: " + arguments.front() + " " + arguments.at(1));
}

class Bench : bench::TracksAndCard {
public:
    Bench() : TracksAndCard("velk-bench-cli") {
        // The run stages its index in the current folder.
        fs::current_path(m_sources);
        ::sync();
    }

    double velkCard() {
        std::vector<std::string> arguments = {VELK_CARD, "programme", "--yes",
                                              "--quiet", "--card",    m_card->device()};
        arguments.insert(arguments.end(), m_tracks.begin(), m_tracks.end());
        const auto start = Clock::now();
        run(arguments);
        return msSince(start);
    }

    double cpSyncCmp() {
        const std::string root = m_card->mountPoint();
        const auto start = Clock::now();
        run({"sh", "-c", "cp " + (m_sources / "*.mp3").string() + " " + root + "/ && sync"});
        for (int i = 1; i <= trackCount; ++i) {
            const std::string copy = root + "/track" + std::to_string(i) + ".mp3";
            const int fd = ::open(copy.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0 || ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) != 0)
                throw std::runtime_error("cannot drop the cache of " + copy);
            ::close(fd);
        }
        run({"sh", "-c",
             "for f in " + (m_sources / "*.mp3").string() + "; do cmp -s \"$f\" " + root +
                 "/\"${f##*/}\" || exit 1; done"});
        return msSince(start);
    }

    /// Each side starts from an empty card with nothing left to write back.
    void emptyCard() const {
        for (const auto& entry : fs::directory_iterator(m_card->mountPoint()))
            if (entry.is_regular_file())
                fs::remove(entry.path());
        ::sync();
    }
};

void BM_ProgrammeAgainstCpSyncCmp(benchmark::State& state) {
    if (const std::string why = velk::test::LoopCard::prepare("ext4"); !why.empty()) {
        state.SkipWithError(("no loop card: " + why).c_str());
        return;
    }
    try {
        Bench bench;
        double program = 0, tools = 0;
        bool programFirst = true;
        for (auto _ : state) {
            double pass = 0;
            for (int side = 0; side < 2; ++side) {
                bench.emptyCard();
                const double ms =
                    (side == 0) == programFirst ? bench.velkCard() : bench.cpSyncCmp();
                ((side == 0) == programFirst ? program : tools) += ms;
                pass += ms;
            }
            programFirst = !programFirst;
            state.SetIterationTime(pass / 1000.0);
        }
        const auto passes = static_cast<double>(state.iterations());
        state.counters["velk_card_ms"] = program / passes;
        state.counters["cp_sync_cmp_ms"] = tools / passes;
        state.counters["velk_card_vs_tools"] = program / tools;
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_ProgrammeAgainstCpSyncCmp)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

void BM_VersionStart(benchmark::State& state) {
    for (auto _ : state)
        run({VELK_CARD, "--version"});
}
BENCHMARK(BM_VersionStart)->Unit(benchmark::kMillisecond);

} // namespace
