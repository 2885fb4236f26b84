#include "core/HelpTopic.h"
#include "ui/qt/hlpform/hlpform.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

using velk::qt::hlpform;

namespace fs = std::filesystem;

namespace {

// A topic of about 1 MiB: prose lines with CR LF ends and some Windows-1252 punctuation.
std::string bigTopic() {
    const std::string line = "Press Programme MMC Card \x96 the card\x92s root files are "
                             "deleted after O.K., then each track is copied.\r\n";
    std::string bytes;
    while (bytes.size() < (1u << 20))
        bytes += line;
    return bytes;
}

struct TopicFolder {
    TopicFolder() {
        path = fs::temp_directory_path() / "velk-bench-help";
        fs::create_directories(path);
        std::ofstream(path / "velkhlp1.txt", std::ios::binary) << bigTopic();
    }
    ~TopicFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    fs::path path;
};

QApplication& app() {
    static int argc = 1;
    static char name[] = "bench_help";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> instance = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return std::make_unique<QApplication>(argc, argv);
    }();
    return *instance;
}

void BM_decodeHelpText(benchmark::State& state) {
    const std::string bytes = bigTopic();
    for (auto _ : state)
        benchmark::DoNotOptimize(velk::decodeHelpText(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_decodeHelpText)->Unit(benchmark::kMillisecond);

void BM_readHelpTopic(benchmark::State& state) {
    const TopicFolder folder;
    for (auto _ : state)
        benchmark::DoNotOptimize(velk::readHelpTopic(folder.path / "velkhlp1.txt"));
}
BENCHMARK(BM_readHelpTopic)->Unit(benchmark::kMillisecond);

// The whole topic click: read, decode and hand the text to the box.
void BM_hbutClick(benchmark::State& state) {
    app();
    const TopicFolder folder;
    const fs::path previous = fs::current_path();
    fs::current_path(folder.path);
    QWidget owner;
    auto* help = new hlpform(&owner);
    help->display();
    for (auto _ : state) {
        help->handlers().hbut1_Click();
        QApplication::processEvents();
    }
    const auto* text = help->findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
    if (!text || text->toPlainText().size() < (1 << 19))
        state.SkipWithError("the topic did not reach the text box");
    fs::current_path(previous);
}
BENCHMARK(BM_hbutClick)->Unit(benchmark::kMillisecond);

} // namespace
