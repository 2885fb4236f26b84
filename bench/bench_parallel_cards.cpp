// Four cards that each write at a card's pace (FUSE-served loop cards, 4 MB/s each), all in one
// `velk-card programme` call against the same four programmed one after another by four calls,
// in each pass, alternating which goes first. Counters give each side in ms and their ratio
// (parallel_vs_sequential: 0.25 would be four cards in the time of one). Needs root.

#include "support/LoopCard.h"
#include "support/Spawn.h"

#include <benchmark/benchmark.h>

#include <sys/wait.h>

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

using Clock = std::chrono::steady_clock;

constexpr int cardCount = 4;
constexpr double cardBytesPerSecond = 4e6;
constexpr std::size_t trackBytes = 1'000'000;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

class Fleet {
public:
    Fleet() {
        std::string folder = (fs::temp_directory_path() / "velk-bench-fleet-XXXXXX").string();
        if (!::mkdtemp(folder.data()))
            throw std::runtime_error("mkdtemp failed");
        m_folder = folder;
        for (const char* name : {"intro.mp3", "lobby.mp3"}) {
            std::string bytes(trackBytes, '\0');
            for (std::size_t b = 0; b < bytes.size(); b += 512)
                bytes[b] = static_cast<char>(b / 512 + name[0]);
            std::ofstream(m_folder / name, std::ios::binary) << bytes;
            m_tracks.push_back((m_folder / name).string());
        }
        velk::test::LoopCard::Options options;
        options.imageBytes = std::uint64_t{16} << 20;
        options.writeBytesPerSecond = cardBytesPerSecond;
        for (int i = 0; i < cardCount; ++i)
            m_cards.push_back(std::make_unique<velk::test::LoopCard>(options));
    }
    ~Fleet() {
        m_cards.clear();
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
    Fleet(const Fleet&) = delete;
    Fleet& operator=(const Fleet&) = delete;

    double oneCall() const {
        std::vector<std::string> arguments{VELK_CARD, "programme", "--yes", "--quiet"};
        for (const auto& card : m_cards)
            arguments.insert(arguments.end(), {"--card", card->device()});
        arguments.insert(arguments.end(), m_tracks.begin(), m_tracks.end());
        const auto start = Clock::now();
        run(arguments);
        return msSince(start);
    }

    double oneAfterAnother() const {
        const auto start = Clock::now();
        for (const auto& card : m_cards) {
            std::vector<std::string> arguments{VELK_CARD, "programme", "--yes",
                                               "--quiet", "--card",    card->device()};
            arguments.insert(arguments.end(), m_tracks.begin(), m_tracks.end());
            run(arguments);
        }
        return msSince(start);
    }

private:
    void run(const std::vector<std::string>& arguments) const {
        const pid_t pid = velk::test::spawnLogged(arguments, (m_folder / "run.log").string());
        const int status = velk::test::waitFor(pid);
        if (pid < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            throw std::runtime_error("velk-card failed; see " + (m_folder / "run.log").string());
    }

    fs::path m_folder;
    std::vector<std::string> m_tracks;
    std::vector<std::unique_ptr<velk::test::LoopCard>> m_cards;
};

void BM_FourSlowCardsAtOnceAgainstOneAfterAnother(benchmark::State& state) {
    if (const std::string why = velk::test::LoopCard::prepare("ext4"); !why.empty()) {
        state.SkipWithError(why.c_str());
        return;
    }
    try {
        Fleet fleet;
        double parallel = 0;
        double sequential = 0;
        bool parallelFirst = true;
        for (auto _ : state) {
            double p = 0;
            double s = 0;
            if (parallelFirst) {
                p = fleet.oneCall();
                s = fleet.oneAfterAnother();
            } else {
                s = fleet.oneAfterAnother();
                p = fleet.oneCall();
            }
            parallelFirst = !parallelFirst;
            parallel += p;
            sequential += s;
            state.SetIterationTime((p + s) / 1000.0);
        }
        const auto passes = static_cast<double>(state.iterations());
        state.counters["parallel_ms"] = parallel / passes;
        state.counters["sequential_ms"] = sequential / passes;
        state.counters["parallel_vs_sequential"] = parallel / sequential;
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}

} // namespace

BENCHMARK(BM_FourSlowCardsAtOnceAgainstOneAfterAnother)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(4);
