// The copy phase of a programming run (every track copied to its card name and forced to
// the device, then the card's folder) against `cp` of the same files followed by `sync`.
// Both write 16 files of 4 MiB into a card folder on the source's file system.

#include "core/CardFiles.h"
#include "core/CardImage.h"
#include "platform/System.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int trackCount = 16;
constexpr std::size_t trackBytes = std::size_t{4} << 20;

void forceToDevice(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const bool ok = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!ok)
        throw std::runtime_error("fsync " + path);
}

struct Folders {
    fs::path top = fs::temp_directory_path() / "velk-bench-copy";
    fs::path source = top / "source";
    fs::path card = top / "card";
    std::vector<std::string> tracks;
    std::unique_ptr<velk::SystemPort> system = velk::makeSystem();

    Folders() {
        fs::remove_all(top);
        fs::create_directories(source);
        fs::create_directories(card);
        std::string bytes(trackBytes, '\0');
        for (int i = 1; i <= trackCount; ++i) {
            for (std::size_t b = 0; b < bytes.size(); b += 4096)
                bytes[b] = static_cast<char>(i + b / 4096);
            const fs::path path = source / ("track" + std::to_string(i) + ".mp3");
            std::ofstream(path, std::ios::binary) << bytes;
            tracks.push_back(path.string());
        }
        ::sync();
    }
    ~Folders() {
        std::error_code ec;
        fs::remove_all(top, ec);
    }

    // Each pass starts from an empty card with nothing left to write back.
    void emptyCard() const {
        for (const auto& entry : fs::directory_iterator(card))
            fs::remove(entry.path());
        ::sync();
    }
};

Folders& folders() {
    static Folders f;
    return f;
}

void BM_CopyPhase(benchmark::State& state) {
    Folders& f = folders();
    const velk::CardNames names = velk::buildCardNames();
    for (auto _ : state) {
        state.PauseTiming();
        f.emptyCard();
        state.ResumeTiming();
        for (int i = 1; i <= trackCount; ++i) {
            const std::string target = velk::cardFilePath(f.card.string(), names[i]);
            velk::copyFile(*f.system, f.tracks[static_cast<std::size_t>(i - 1)], target);
            forceToDevice(target);
        }
        forceToDevice(f.card.string());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * trackCount *
                            static_cast<std::int64_t>(trackBytes));
}

void BM_CpThenSync(benchmark::State& state) {
    Folders& f = folders();
    const std::string command =
        "cp " + (f.source / "*.mp3").string() + " " + f.card.string() + "/ && sync";
    for (auto _ : state) {
        state.PauseTiming();
        f.emptyCard();
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("cp or sync failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * trackCount *
                            static_cast<std::int64_t>(trackBytes));
}

} // namespace

BENCHMARK(BM_CopyPhase)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_CpThenSync)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
