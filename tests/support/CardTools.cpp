#include "CardTools.h"

#include "Bytes.h"
#include "Spawn.h"

#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace velk::test {

namespace {

bool mountedAt(const std::string& at) {
    std::ifstream in("/proc/self/mountinfo");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id, parent, numbers, root, point;
        fields >> id >> parent >> numbers >> root >> point;
        if (point == at)
            return true;
    }
    return false;
}

} // namespace

void failStep(const std::string& step, int error) {
    throw std::runtime_error(step + ": " + std::strerror(error));
}

std::string findTool(const std::string& tool) {
    for (const char* dir : {"/usr/sbin/", "/sbin/", "/usr/bin/", "/bin/"}) {
        const std::string path = dir + tool;
        if (::access(path.c_str(), X_OK) == 0)
            return path;
    }
    return {};
}

pid_t startTool(const std::vector<std::string>& argv, const std::string& log,
                const std::vector<std::string>& extraEnv) {
    const pid_t pid = spawnLogged(argv, log, extraEnv);
    if (pid < 0)
        failStep("starting " + argv[0]);
    return pid;
}

void runTool(const std::vector<std::string>& argv, const std::string& log,
             const std::vector<std::string>& extraEnv) {
    const int status = waitFor(startTool(argv, log, extraEnv));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(argv[0] + " failed: " + readBytes(log));
}

bool kernelHas(const std::string& fsType) {
    std::ifstream in("/proc/filesystems");
    std::string line;
    while (std::getline(in, line))
        if (line.size() > fsType.size() && line.ends_with("\t" + fsType))
            return true;
    return false;
}

FuseStart waitForFuseMount(const std::string& at, pid_t pid) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!mountedAt(at)) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return FuseStart::ended;
        if (std::chrono::steady_clock::now() > deadline)
            return FuseStart::tooSlow;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return FuseStart::mounted;
}

} // namespace velk::test
