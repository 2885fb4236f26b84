// The card phases of a programming run against the shell's tools, on one real card: every
// track copied to its card name and flushed by the program's own routine, then read back
// from the device and compared; and `cp` of the same files followed by `sync`, then `cmp`
// of every copy. 16 tracks of 4 MiB on a removable loop card with ext4 (needs root).
//
// One benchmark times all of them in each pass, alternating which side goes first, so that
// other work on the machine weighs on both sides alike; the counters give each phase in ms
// and the two ratios (copy_vs_cp, verify_vs_copy). `cp` followed by `sync` of each copy
// (cp_flush_each_ms) shows what flushing every file by itself costs the shell's tools. The
// program's copies and read-backs call back after every chunk, where a run lets the window
// answer; chunks counts those calls.

#include "TrackFiles.h"
#include "core/CardFiles.h"
#include "core/CardImage.h"
#include "platform/linux/LinuxSystem.h"
#include "support/LoopCard.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using bench::Clock;
using bench::msSince;
using bench::trackBytes;
using bench::trackCount;

void shell(const std::string& command) {
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("failed: " + command);
}

/// Drops a card file's pages from the cache, so that `cmp` reads the device as the
/// program's verification does.
void dropFromCache(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) != 0)
        throw std::runtime_error("cannot drop the cache of " + path);
    ::close(fd);
}

class Bench : bench::TracksAndCard {
public:
    Bench() : TracksAndCard("velk-bench-copy") {
        const velk::CardNames names = velk::buildCardNames();
        for (int i = 1; i <= trackCount; ++i)
            m_cardNames.push_back(names[i]);
        ::sync();
    }

    double programCopy() {
        const auto start = Clock::now();
        // As a run does: every track copied, then every track forced to the device.
        std::vector<velk::WrittenFile> written;
        for (std::size_t i = 0; i < m_tracks.size(); ++i)
            written.push_back(
                velk::copyFile(m_system, m_tracks[i], cardFile(i), std::nullopt, m_chunkDone));
        m_written.clear();
        for (velk::WrittenFile& file : written) {
            velk::flushToCard(m_system, file);
            m_written.push_back(file.content);
        }
        if (m_system.flushFolder(root()))
            throw std::runtime_error("flushing the card's folder failed");
        return msSince(start);
    }

    double programVerify() {
        const auto start = Clock::now();
        for (std::size_t i = 0; i < m_tracks.size(); ++i)
            velk::verifyFile(m_system, cardFile(i), m_tracks[i], m_written.at(i), m_chunkDone);
        return msSince(start);
    }

    double cpThenSync() {
        const auto start = Clock::now();
        shell("cp " + (m_sources / "*.mp3").string() + " " + root() + "/ && sync");
        return msSince(start);
    }

    /// `cp`, then every copy flushed by itself, as the program flushes each card file.
    double cpThenFlushEach() {
        std::string files;
        for (std::size_t i = 0; i < m_tracks.size(); ++i)
            files += " " + root() + "/track" + std::to_string(i + 1) + ".mp3";
        const auto start = Clock::now();
        shell("cp " + (m_sources / "*.mp3").string() + " " + root() + "/ && sync" + files + " " +
              root());
        return msSince(start);
    }

    double cmpEach() {
        for (std::size_t i = 0; i < m_tracks.size(); ++i)
            dropFromCache(root() + "/track" + std::to_string(i + 1) + ".mp3");
        const auto start = Clock::now();
        shell("for f in " + (m_sources / "*.mp3").string() + "; do cmp -s \"$f\" " + root() +
              "/\"${f##*/}\" || exit 1; done");
        return msSince(start);
    }

    /// Each pass starts from an empty card with nothing left to write back.
    void emptyCard() const {
        for (const auto& entry : fs::directory_iterator(root()))
            if (entry.is_regular_file())
                fs::remove(entry.path());
        ::sync();
    }

private:
    [[nodiscard]] std::string root() const { return m_card->mountPoint(); }
    [[nodiscard]] std::string cardFile(std::size_t i) const {
        return velk::cardFilePath(root(), m_cardNames[i]);
    }

    std::vector<velk::ContentHash> m_written;
    std::vector<std::string> m_cardNames;
    const velk::LinuxSystem m_system;

public:
    std::int64_t chunks = 0;

private:
    const velk::ChunkDone m_chunkDone = [this](std::uint64_t done) {
        benchmark::DoNotOptimize(done);
        ++chunks;
    };
};

void BM_CardPhasesAgainstCpSyncCmp(benchmark::State& state) {
    if (const std::string why = velk::test::LoopCard::unavailableReason(); !why.empty()) {
        state.SkipWithError(("no loop card: " + why).c_str());
        return;
    }
    if (const std::string why = velk::test::LoopCard::enterPrivateMountNamespace(); !why.empty()) {
        state.SkipWithError(("no private mount namespace: " + why).c_str());
        return;
    }
    try {
        Bench bench;
        double copy = 0, verify = 0, cp = 0, cmp = 0, cpEach = 0;
        bool programFirst = true;
        for (auto _ : state) {
            double program = 0, tools = 0;
            for (int side = 0; side < 2; ++side) {
                bench.emptyCard();
                if ((side == 0) == programFirst) {
                    const double c = bench.programCopy();
                    const double v = bench.programVerify();
                    copy += c;
                    verify += v;
                    program = c + v;
                } else {
                    const double c = bench.cpThenSync();
                    const double m = bench.cmpEach();
                    cp += c;
                    cmp += m;
                    tools = c + m;
                    bench.emptyCard();
                    cpEach += bench.cpThenFlushEach();
                }
            }
            programFirst = !programFirst;
            state.SetIterationTime((program + tools) / 1000.0);
        }
        const auto passes = static_cast<double>(state.iterations());
        state.counters["copy_ms"] = copy / passes;
        state.counters["verify_ms"] = verify / passes;
        state.counters["cp_sync_ms"] = cp / passes;
        state.counters["cmp_ms"] = cmp / passes;
        state.counters["cp_flush_each_ms"] = cpEach / passes;
        state.counters["copy_vs_cp"] = copy / cp;
        state.counters["verify_vs_copy"] = verify / copy;
        state.counters["chunks"] = static_cast<double>(bench.chunks) / passes;
        state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 2 * trackCount *
                                static_cast<std::int64_t>(trackBytes));
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}

} // namespace

BENCHMARK(BM_CardPhasesAgainstCpSyncCmp)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(12);
