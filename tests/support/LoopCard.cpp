#include "LoopCard.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include <fcntl.h>
#include <linux/loop.h>
#include <sched.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace velk::test {

namespace {

[[noreturn]] void fail(const std::string& step, int error = errno) {
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

std::string mkfsTool(const std::string& fsType) {
    return fsType == "vfat" ? "mkfs.vfat" : "mkfs." + fsType;
}

/// Runs a tool to completion with its output in `log`; throws with that output on failure.
void run(std::vector<std::string> argv, const std::string& log) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::vector<char*> args;
    for (std::string& a : argv)
        args.push_back(a.data());
    args.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        fail("starting " + argv[0], spawned);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::ifstream in(log);
        std::ostringstream output;
        output << in.rdbuf();
        throw std::runtime_error(argv[0] + " failed: " + output.str());
    }
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

} // namespace

std::string LoopCard::unavailableReason(const std::string& fsType) {
    if (::geteuid() != 0)
        return "needs root to attach loop devices and mount";
    if (::access("/dev/loop-control", R_OK | W_OK) != 0)
        return "no loop device support (/dev/loop-control: " + std::string(std::strerror(errno)) +
               ")";
    if (findTool(mkfsTool(fsType)).empty())
        return mkfsTool(fsType) + " is not installed";
    return {};
}

std::string LoopCard::enterPrivateMountNamespace() {
    if (::unshare(CLONE_NEWNS) != 0)
        return std::string("unshare(CLONE_NEWNS): ") + std::strerror(errno);
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("making / private: ") + std::strerror(errno);
    return {};
}

LoopCard::LoopCard(Options options) : m_options(std::move(options)) {
    try {
        std::string work = (std::filesystem::temp_directory_path() / "velk-card-XXXXXX").string();
        if (!::mkdtemp(work.data()))
            fail("creating a temporary folder");
        m_work = work;

        const std::string image = m_work + "/card.img";
        {
            const int fd = ::open(image.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
            if (fd < 0)
                fail("creating " + image);
            const std::uint64_t bytes = m_options.withCard ? m_options.imageBytes : 0;
            const int sized = ::ftruncate(fd, static_cast<off_t>(bytes));
            const int error = errno;
            ::close(fd);
            if (sized != 0)
                fail("sizing " + image, error);
        }
        if (m_options.withCard) {
            std::vector<std::string> argv{findTool(mkfsTool(m_options.fsType))};
            if (m_options.fsType.starts_with("ext"))
                argv.insert(argv.end(), {"-q", "-F"});
            argv.push_back(image);
            run(argv, m_work + "/mkfs.log");
        }

        const int control = ::open("/dev/loop-control", O_RDWR | O_CLOEXEC);
        if (control < 0)
            fail("opening /dev/loop-control");
        const int backing = ::open(image.c_str(), O_RDWR | O_CLOEXEC);
        if (backing < 0) {
            ::close(control);
            fail("opening " + image);
        }
        // Another process may take the free device between the question and the claim.
        int lastError = 0;
        for (int attempt = 0; attempt < 20 && m_loopFd < 0; ++attempt) {
            const int number = ::ioctl(control, LOOP_CTL_GET_FREE);
            if (number < 0) {
                lastError = errno;
                break;
            }
            const std::string device = "/dev/loop" + std::to_string(number);
            const int fd = ::open(device.c_str(), O_RDWR | O_CLOEXEC);
            if (fd < 0) {
                lastError = errno;
                continue;
            }
            loop_config config{};
            config.fd = static_cast<std::uint32_t>(backing);
            // The device lets go of the image when the last user closes it, even after a crash.
            config.info.lo_flags = LO_FLAGS_AUTOCLEAR;
            if (::ioctl(fd, LOOP_CONFIGURE, &config) == 0) {
                m_loopFd = fd;
                m_device = device;
                m_name = "loop" + std::to_string(number);
            } else {
                lastError = errno;
                ::close(fd);
            }
        }
        ::close(backing);
        ::close(control);
        if (m_loopFd < 0)
            fail("attaching a loop device", lastError);

        const std::string attr = m_work + "/removable";
        writeFile(attr, "1\n");
        const std::string target = "/sys/block/" + m_name + "/removable";
        if (::mount(attr.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) != 0)
            fail("binding " + target);
        m_removableAttr = target;

        if (m_options.withCard) {
            const std::string at =
                m_options.mountPoint.empty() ? m_work + "/card" : m_options.mountPoint;
            std::filesystem::create_directories(at);
            if (::mount(m_device.c_str(), at.c_str(), m_options.fsType.c_str(), 0, nullptr) != 0) {
                if (errno == ENODEV)
                    throw Unsupported("the kernel has no " + m_options.fsType + " file system");
                fail("mounting " + m_device + " on " + at);
            }
            m_mountPoint = at;
            m_mounted = true;
        }
    } catch (...) {
        cleanUp();
        throw;
    }
}

LoopCard::~LoopCard() {
    cleanUp();
}

void LoopCard::eject() {
    if (m_mounted) {
        if (::umount2(m_mountPoint.c_str(), 0) != 0)
            fail("unmounting " + m_mountPoint);
        m_mounted = false;
        m_mountPoint.clear();
    }
    // An image of no bytes is a reader with no medium; the device stays ours.
    if (::truncate((m_work + "/card.img").c_str(), 0) != 0)
        fail("emptying the card image");
    if (::ioctl(m_loopFd, LOOP_SET_CAPACITY, 0) != 0)
        fail("telling " + m_device + " its medium is gone");
}

void LoopCard::cleanUp() noexcept {
    if (m_mounted && ::umount2(m_mountPoint.c_str(), 0) != 0)
        ::umount2(m_mountPoint.c_str(), MNT_DETACH);
    m_mounted = false;
    if (!m_removableAttr.empty())
        ::umount2(m_removableAttr.c_str(), MNT_DETACH);
    m_removableAttr.clear();
    if (m_loopFd >= 0) {
        ::ioctl(m_loopFd, LOOP_CLR_FD, 0);
        ::close(m_loopFd);
    }
    m_loopFd = -1;
    std::error_code ignored;
    if (!m_work.empty())
        std::filesystem::remove_all(m_work, ignored);
}

} // namespace velk::test
