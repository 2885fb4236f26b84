// The window's start under X (run it under `xvfb-run -a`, and under `dbus-run-session` for a
// desktop's session bus): time from exec to the first mapped top-level window and peak memory
// (VmHWM), for the program in an empty folder, the program in a folder of 20,000 .mp3 files and
// 2,000 folders, a bare Qt window of the same size with a 100 ms timer, and that window with one
// label. One pass starts all four in turn, so the machine's load falls on each alike; the
// counters are medians over the passes, with the ratios the start is judged by.

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
/// window is mapped straight onto the root. One watch serves the whole run: while it stays
/// connected the X server never loses its last client, so it never resets between two starts
/// (xvfb-run's server does, and refuses the next connection while it does).
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

Start start(MapWatch& watch, const std::string& program, const fs::path& folder) {
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
    enum { minimal, labelled, program, programInLarge, kinds };
    std::vector<double> ms[kinds], mib[kinds];
    MapWatch watch;
    for (auto _ : state) {
        const Start runs[kinds] = {
            start(watch, VELK_MINIMAL_WINDOW, empty), start(watch, VELK_LABELLED_WINDOW, empty),
            start(watch, VELK_ASSEMBLER, empty), start(watch, VELK_ASSEMBLER, large)};
        for (int i = 0; i < kinds; ++i) {
            ms[i].push_back(runs[i].ms);
            mib[i].push_back(runs[i].peakMiB);
        }
    }
    const char* names[kinds] = {"minimal", "labelled", "program", "large_folder"};
    double t[kinds], m[kinds];
    for (int i = 0; i < kinds; ++i) {
        t[i] = median(ms[i]);
        m[i] = median(mib[i]);
        state.counters[std::string(names[i]) + "_ms"] = t[i];
        state.counters[std::string(names[i]) + "_MiB"] = m[i];
    }
    state.counters["time_x_minimal"] = t[program] / t[minimal];
    state.counters["memory_x_minimal"] = m[program] / m[minimal];
    state.counters["time_x_labelled"] = t[program] / t[labelled];
    state.counters["memory_x_labelled"] = m[program] / m[labelled];
    state.counters["labelled_x_minimal"] = t[labelled] / t[minimal];
    state.counters["large_x_empty"] = t[programInLarge] / t[program];
    fs::remove_all(empty);
    fs::remove_all(large);
}

} // namespace

BENCHMARK(BM_WindowStart)->Iterations(20)->Unit(benchmark::kMillisecond)->UseRealTime();
