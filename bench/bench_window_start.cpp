// The window's start under X (run it under `xvfb-run -a`): time from exec to the first mapped
// top-level window and peak memory (VmHWM), for the program in an empty folder, the program in
// a folder of 20,000 .mp3 files and 2,000 folders, and a bare Qt window of the same size with a
// 100 ms timer. One pass starts all three in turn, so the machine's load falls on each alike;
// the counters are medians over the passes, with the ratios the start is judged by.

#include <benchmark/benchmark.h>

#include <xcb/xcb.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

struct Start {
    double ms = 0;
    double peakMiB = 0;
};

/// Kilobytes on the "VmHWM:" line of the process's status.
double peakMiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    throw std::runtime_error("no VmHWM");
}

/// Watches the root window for children being mapped; with no window manager a top-level
/// window is mapped straight onto the root.
class MapWatch {
public:
    MapWatch() : m_x(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(m_x))
            throw std::runtime_error("no X display: run under xvfb-run -a");
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_x)).data->root;
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_request_check(
            m_x, xcb_change_window_attributes_checked(m_x, root, XCB_CW_EVENT_MASK, &mask));
    }
    ~MapWatch() { xcb_disconnect(m_x); }
    MapWatch(const MapWatch&) = delete;
    MapWatch& operator=(const MapWatch&) = delete;

    void waitForMap() {
        for (;;) {
            std::unique_ptr<xcb_generic_event_t, decltype(&free)> event(xcb_wait_for_event(m_x),
                                                                        &free);
            if (!event)
                throw std::runtime_error("X connection lost");
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY)
                return;
        }
    }

private:
    xcb_connection_t* m_x;
};

Start start(const std::string& program, const fs::path& folder) {
    MapWatch watch;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::string path = program;
    char* argv[] = {path.data(), nullptr};
    const fs::path before = fs::current_path();
    fs::current_path(folder);
    pid_t pid = 0;
    const auto begin = Clock::now();
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ);
    fs::current_path(before);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + program);
    watch.waitForMap();
    Start s;
    s.ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
    // What the window holds once it has drawn and its timer has run a few times.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    s.peakMiB = peakMiB(pid);
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    return s;
}

fs::path freshFolder(const std::string& prefix) {
    std::string top = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!::mkdtemp(top.data()))
        throw std::runtime_error("mkdtemp failed");
    return top;
}

fs::path largeFolder() {
    const fs::path top = freshFolder("velk-bench-large");
    for (int i = 0; i < 20000; ++i)
        std::ofstream(top / ("message " + std::to_string(i) + ".mp3"));
    for (int i = 0; i < 2000; ++i)
        fs::create_directory(top / ("folder " + std::to_string(i)));
    return top;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void BM_WindowStart(benchmark::State& state) {
    const fs::path empty = freshFolder("velk-bench-empty");
    const fs::path large = largeFolder();
    std::vector<double> ms[3], mib[3];
    for (auto _ : state) {
        const Start runs[3] = {start(VELK_MINIMAL_WINDOW, empty), start(VELK_ASSEMBLER, empty),
                               start(VELK_ASSEMBLER, large)};
        for (int i = 0; i < 3; ++i) {
            ms[i].push_back(runs[i].ms);
            mib[i].push_back(runs[i].peakMiB);
        }
    }
    const double minimalMs = median(ms[0]), emptyMs = median(ms[1]), largeMs = median(ms[2]);
    const double minimalMiB = median(mib[0]), emptyMiB = median(mib[1]);
    state.counters["minimal_ms"] = minimalMs;
    state.counters["program_ms"] = emptyMs;
    state.counters["large_folder_ms"] = largeMs;
    state.counters["minimal_MiB"] = minimalMiB;
    state.counters["program_MiB"] = emptyMiB;
    state.counters["large_folder_MiB"] = median(mib[2]);
    state.counters["time_x_minimal"] = emptyMs / minimalMs;
    state.counters["memory_x_minimal"] = emptyMiB / minimalMiB;
    state.counters["large_x_empty"] = largeMs / emptyMs;
    fs::remove_all(empty);
    fs::remove_all(large);
}

} // namespace

BENCHMARK(BM_WindowStart)->Iterations(20)->Unit(benchmark::kMillisecond)->UseRealTime();
