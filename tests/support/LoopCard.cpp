#include "LoopCard.h"
#include "MountNamespace.h"
#include "NeedsRoot.h"
#include "Spawn.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <linux/loop.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

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

/// Starts a tool with its output in `log`.
pid_t spawn(const std::vector<std::string>& argv, const std::string& log,
            const std::vector<std::string>& extraEnv = {}) {
    const pid_t pid = spawnLogged(argv, log, extraEnv);
    if (pid < 0)
        fail("starting " + argv[0]);
    return pid;
}

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

/// Runs a tool to completion with its output in `log`; throws with that output on failure.
void run(const std::vector<std::string>& argv, const std::string& log,
         const std::vector<std::string>& extraEnv = {}) {
    const int status = waitFor(spawn(argv, log, extraEnv));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(argv[0] + " failed: " + contentOf(log));
}

std::string deviceContent(int fd, const std::string& device) {
    std::string content;
    char buffer[1 << 16];
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            fail("reading " + device);
        if (n == 0)
            return content;
        content.append(buffer, static_cast<std::size_t>(n));
        at += n;
    }
}

void overwriteDevice(int fd, const std::string& device, const std::string& content) {
    for (std::size_t done = 0; done < content.size();) {
        const ssize_t n =
            ::pwrite(fd, content.data() + done, content.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail("writing " + device, n < 0 ? errno : EIO);
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0)
        fail("flushing " + device);
}

bool kernelHas(const std::string& fsType) {
    std::ifstream in("/proc/filesystems");
    std::string line;
    while (std::getline(in, line))
        if (line.size() > fsType.size() && line.ends_with("\t" + fsType))
            return true;
    return false;
}

/// FAT cards go to fusefat when the kernel cannot mount them itself.
bool fatByFuse(const std::string& fsType) {
    return fsType == "vfat" && !kernelHas("vfat");
}

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

/// FAT16 needs at least 4085 clusters and takes at most 65524: 512-byte sectors, as few
/// per cluster as the image allows but never fewer than two, as fusefat counts free space in
/// whole kilobytes per cluster and reports a card of 512-byte clusters as empty of space.
std::string sectorsPerCluster(std::uint64_t imageBytes) {
    std::uint64_t perCluster = 2;
    while (imageBytes / (512 * perCluster) > 65000)
        perCluster *= 2;
    return std::to_string(perCluster);
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

} // namespace

std::string LoopCard::unavailableReason(const std::string& fsType) {
    if (std::string why = needsRoot("attaching loop devices and mounting"); !why.empty())
        return why;
    if (::access("/dev/loop-control", R_OK | W_OK) != 0)
        return "no loop device support (/dev/loop-control: " + std::string(std::strerror(errno)) +
               ")";
    if (findTool(mkfsTool(fsType)).empty())
        return mkfsTool(fsType) + " is not installed";
    if (fsType == "vfat") {
        if (findTool("mcopy").empty())
            return "mtools is not installed (FAT cards are read back with mcopy)";
        if (fatByFuse(fsType)) {
            if (findTool("fusefat").empty())
                return "the kernel has no vfat and fusefat is not installed";
            if (::access("/dev/fuse", R_OK | W_OK) != 0)
                return "the kernel has no vfat and /dev/fuse cannot be opened: " +
                       std::string(std::strerror(errno));
        }
    }
    return {};
}

std::string LoopCard::prepare(const std::string& fsType) {
    if (std::string why = unavailableReason(fsType); !why.empty())
        return "no real card reader here: " + why;
    const std::string& namespaceError = whyNoPrivateMounts();
    return namespaceError.empty() ? std::string() : "no private mount namespace: " + namespaceError;
}

std::unique_ptr<LoopCard> LoopCard::make(const Options& options, std::string& whyNot) {
    try {
        return std::make_unique<LoopCard>(options);
    } catch (const Unsupported& e) {
        whyNot = e.what();
        return nullptr;
    }
}

std::string LoopCard::enterPrivateMountNamespace() {
    return whyNoPrivateMounts();
}

LoopCard::LoopCard(Options options)
    : m_options(std::move(options)), m_byFuse(fatByFuse(m_options.fsType)) {
    try {
        std::string work = (std::filesystem::temp_directory_path() / "velk-card-XXXXXX").string();
        if (!::mkdtemp(work.data()))
            fail("creating a temporary folder");
        m_work = work;

        {
            const int fd = ::open(image().c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
            if (fd < 0)
                fail("creating " + image());
            const std::uint64_t bytes = m_options.withCard ? m_options.imageBytes : 0;
            const int sized = ::ftruncate(fd, static_cast<off_t>(bytes));
            const int error = errno;
            ::close(fd);
            if (sized != 0)
                fail("sizing " + image(), error);
        }
        if (m_options.withCard) {
            std::vector<std::string> argv{findTool(mkfsTool(m_options.fsType))};
            if (m_options.fsType.starts_with("ext"))
                argv.insert(argv.end(), {"-q", "-F"});
            // No volume label: fusefat would list it as a file of the root.
            if (m_options.fsType == "vfat")
                argv.insert(argv.end(),
                            {"-F", "16", "-s", sectorsPerCluster(m_options.imageBytes)});
            argv.push_back(image());
            run(argv, m_work + "/mkfs.log");
        }

        const bool served = m_options.writeBytesPerSecond > 0 || m_options.journal;
        if (served)
            serveImage();
        const std::string deviceImage = served ? m_served + "/card.img" : image();

        const int control = ::open("/dev/loop-control", O_RDWR | O_CLOEXEC);
        if (control < 0)
            fail("opening /dev/loop-control");
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
            m_loopFd = fd;
            m_device = device;
            try {
                attach(deviceImage);
                m_name = "loop" + std::to_string(number);
            } catch (const std::runtime_error&) {
                lastError = errno;
                ::close(fd);
                m_loopFd = -1;
                m_device.clear();
            }
        }
        ::close(control);
        if (m_loopFd < 0)
            fail("attaching a loop device", lastError);

        // Mounted before it is removable: whatever watches the readers never meets the card
        // half made.
        if (m_options.withCard) {
            const std::string at =
                m_options.mountPoint.empty() ? m_work + "/card" : m_options.mountPoint;
            std::filesystem::create_directories(at);
            mount(at);
        }
        const std::string attr = m_work + "/removable";
        writeFile(attr, "1\n");
        const std::string target = "/sys/block/" + m_name + "/removable";
        if (::mount(attr.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) != 0)
            fail("binding " + target);
        m_removableAttr = target;
    } catch (...) {
        cleanUp();
        throw;
    }
}

LoopCard::~LoopCard() {
    cleanUp();
}

int LoopCard::fullCardError() const {
    return m_byFuse ? EPERM : ENOSPC;
}

void LoopCard::attach(const std::string& imagePath) {
    const int backing = ::open(imagePath.c_str(), O_RDWR | O_CLOEXEC);
    if (backing < 0)
        fail("opening " + imagePath);
    loop_config config{};
    config.fd = static_cast<std::uint32_t>(backing);
    // The device lets go of the image when the last user closes it, even after a crash.
    config.info.lo_flags = LO_FLAGS_AUTOCLEAR;
    const int configured = ::ioctl(m_loopFd, LOOP_CONFIGURE, &config);
    const int error = errno;
    ::close(backing);
    if (configured != 0)
        fail("attaching " + imagePath + " to " + m_device, error);
}

void LoopCard::mount(const std::string& at) {
    if (!m_byFuse) {
        if (::mount(m_device.c_str(), at.c_str(), m_options.fsType.c_str(), 0, nullptr) != 0) {
            if (errno == ENODEV)
                throw Unsupported("the kernel has no " + m_options.fsType + " file system");
            fail("mounting " + m_device + " on " + at);
        }
    } else {
        // Kept in the foreground, so that its end, after the unmount, can be waited for.
        const std::string log = m_work + "/fusefat.log";
        m_fusePid = spawn(
            {findTool("fusefat"), "-f", "-o", "rw+,blkdev,fsname=" + m_device, m_device, at}, log);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!mountedAt(at)) {
            int status = 0;
            if (::waitpid(m_fusePid, &status, WNOHANG) == m_fusePid) {
                m_fusePid = 0;
                throw std::runtime_error("fusefat ended without mounting " + m_device + ": " +
                                         contentOf(log));
            }
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(m_fusePid, SIGTERM);
                waitFor(std::exchange(m_fusePid, 0));
                throw std::runtime_error("fusefat did not mount " + m_device + " within 10 s");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    m_mountPoint = at;
    m_mounted = true;
}

void LoopCard::unmount() {
    if (!m_mounted)
        return;
    if (::umount2(m_mountPoint.c_str(), 0) != 0)
        fail("unmounting " + m_mountPoint);
    m_mounted = false;
    // The driver may still be writing back; the device is not free until it has ended.
    if (m_fusePid > 0)
        waitFor(std::exchange(m_fusePid, 0));
}

void LoopCard::eject() {
    // A card pulled while files on it are open: the mount goes at once, the file system when
    // the last file closes; a FUSE driver is waited for when the card is cleaned up.
    if (m_mounted && ::umount2(m_mountPoint.c_str(), 0) != 0) {
        if (errno != EBUSY || ::umount2(m_mountPoint.c_str(), MNT_DETACH) != 0)
            fail("unmounting " + m_mountPoint);
    } else if (m_mounted && m_fusePid > 0) {
        waitFor(std::exchange(m_fusePid, 0));
    }
    m_mounted = false;
    m_mountPoint.clear();
    // An image of no bytes is a reader with no medium; the device stays ours.
    if (::truncate(image().c_str(), 0) != 0)
        fail("emptying the card image");
    if (::ioctl(m_loopFd, LOOP_SET_CAPACITY, 0) != 0)
        fail("telling " + m_device + " its medium is gone");
}

void LoopCard::remount() {
    const std::string at = m_mountPoint;
    unmount();
    mount(at);
}

std::map<std::string, std::string> LoopCard::readBack() {
    const std::string at = m_mountPoint;
    unmount();
    std::map<std::string, std::string> files;
    if (m_options.fsType == "vfat") {
        // What the device still holds in its own cache goes to the image first.
        if (::fsync(m_loopFd) != 0)
            fail("flushing " + m_device);
        const std::string copies = m_work + "/read-back";
        std::filesystem::remove_all(copies);
        std::filesystem::create_directories(copies);
        // A root without files makes mcopy fail; mdir tells that apart from a real failure.
        run({findTool("mdir"), "-b", "-i", image(), "::/"}, m_work + "/mdir.log",
            {"MTOOLS_SKIP_CHECK=1"});
        bool anyFile = false;
        for (std::istringstream names(contentOf(m_work + "/mdir.log")); !names.eof();) {
            std::string line;
            std::getline(names, line);
            anyFile = anyFile || (!line.empty() && !line.ends_with('/'));
        }
        if (anyFile)
            run({findTool("mcopy"), "-n", "-i", image(), "::/*", copies + "/"},
                m_work + "/mcopy.log", {"MTOOLS_SKIP_CHECK=1"});
        for (const auto& entry : std::filesystem::directory_iterator(copies))
            if (entry.is_regular_file())
                files[entry.path().filename().string()] = contentOf(entry.path().string());
        mount(at);
    } else {
        mount(at);
        for (const auto& entry : std::filesystem::directory_iterator(at))
            if (entry.symlink_status().type() == std::filesystem::file_type::regular)
                files[entry.path().filename().string()] = contentOf(entry.path().string());
    }
    return files;
}

void LoopCard::swapCardWith(LoopCard& other) {
    const std::string mine = m_mountPoint;
    const std::string theirs = other.m_mountPoint;
    if (mine.empty() || theirs.empty())
        throw std::runtime_error("swapping cards needs a card in both readers");
    if (m_options.imageBytes != other.m_options.imageBytes)
        throw std::runtime_error("swapping cards needs two cards of one size");
    unmount();
    other.unmount();
    // A loop device lets go of its image only when its last user closes it, and a freed
    // device may be taken by anyone: the two media trade places through the devices instead.
    const std::string myBytes = deviceContent(m_loopFd, m_device);
    const std::string theirBytes = deviceContent(other.m_loopFd, other.m_device);
    overwriteDevice(m_loopFd, m_device, theirBytes);
    overwriteDevice(other.m_loopFd, other.m_device, myBytes);
    mount(mine);
    other.mount(theirs);
}

void LoopCard::writeToDevice(std::uint64_t offset, const std::string& bytes) const {
    const int fd = ::open(m_device.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        fail("opening " + m_device + " for writing");
    const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
    const int error = errno;
    const bool flushed = written == static_cast<ssize_t>(bytes.size()) && ::fsync(fd) == 0;
    const int flushError = errno;
    ::close(fd);
    if (written != static_cast<ssize_t>(bytes.size()))
        fail("writing to " + m_device, written < 0 ? error : EIO);
    if (!flushed)
        fail("flushing " + m_device, flushError);
}

std::uint64_t LoopCard::findOnDevice(const std::string& bytes) const {
    if (::fsync(m_loopFd) != 0)
        fail("flushing " + m_device);
    const std::string content = contentOf(image());
    for (std::size_t at = 0; at + bytes.size() <= content.size(); at += 512)
        if (content.compare(at, bytes.size(), bytes) == 0)
            return at;
    throw std::runtime_error("the bytes asked for are nowhere on " + m_device);
}

// A FUSE process serves the image, so that each write of the loop device passes through it;
// with direct I/O nothing is cached above it.
void LoopCard::serveImage() {
    if (::access("/usr/bin/python3", X_OK) != 0 || ::access("/dev/fuse", R_OK | W_OK) != 0)
        throw Unsupported("no python3 or no /dev/fuse to serve a slow or logged card");
    m_served = m_work + "/served";
    std::filesystem::create_directory(m_served);
    std::vector<std::string> argv{"/usr/bin/python3", VELK_FUSE_CARD, image(), m_served};
    if (m_options.writeBytesPerSecond > 0)
        argv.insert(argv.end(), {"--rate", std::to_string(m_options.writeBytesPerSecond)});
    if (m_options.journal)
        argv.insert(argv.end(), {"--journal", m_work + "/journal"});
    const std::string log = m_work + "/serve.log";
    m_servePid = spawn(argv, log);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!mountedAt(m_served)) {
        int status = 0;
        if (::waitpid(m_servePid, &status, WNOHANG) == m_servePid) {
            m_servePid = 0;
            throw Unsupported("the FUSE card image could not be served: " + contentOf(log));
        }
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("the FUSE card image was not served within 10 s");
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void LoopCard::restartJournal() const {
    // Reading the control file makes the server copy the image and empty the log at once.
    if (contentOf(m_served + "/restart-journal") != "ok")
        throw std::runtime_error("the FUSE card image did not restart its journal");
}

std::size_t LoopCard::journalWrites() const {
    std::ifstream in(m_work + "/journal", std::ios::binary);
    std::size_t writes = 0;
    for (;;) {
        unsigned char header[12];
        if (!in.read(reinterpret_cast<char*>(header), sizeof header))
            return writes;
        std::uint32_t length = 0;
        for (int i = 0; i < 4; ++i)
            length |= std::uint32_t{header[8 + i]} << (8 * i);
        in.seekg(length, std::ios::cur);
        ++writes;
    }
}

void LoopCard::replay(std::size_t writes, const std::string& path) const {
    std::filesystem::copy_file(image() + ".start", path,
                               std::filesystem::copy_options::overwrite_existing);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        fail("opening " + path);
    std::ifstream in(m_work + "/journal", std::ios::binary);
    std::string bytes;
    for (std::size_t i = 0; i < writes; ++i) {
        unsigned char header[12];
        if (!in.read(reinterpret_cast<char*>(header), sizeof header))
            break;
        std::uint64_t offset = 0;
        std::uint32_t length = 0;
        for (int b = 0; b < 8; ++b)
            offset |= std::uint64_t{header[b]} << (8 * b);
        for (int b = 0; b < 4; ++b)
            length |= std::uint32_t{header[8 + b]} << (8 * b);
        bytes.resize(length);
        in.read(bytes.data(), length);
        if (::pwrite(fd, bytes.data(), length, static_cast<off_t>(offset)) !=
            static_cast<ssize_t>(length)) {
            ::close(fd);
            fail("replaying onto " + path);
        }
    }
    ::close(fd);
}

std::string LoopCard::checkCopy(const std::string& path) const {
    // What the device still holds in its own cache goes to the image first.
    if (::fsync(m_loopFd) != 0)
        fail("flushing " + m_device);
    writeFile(path, contentOf(image()));
    const std::string log = m_work + "/check.log";
    const int status = waitFor(spawn(
        m_options.fsType == "vfat" ? std::vector<std::string>{findTool("fsck.fat"), "-n", path}
                                   : std::vector<std::string>{findTool("e2fsck"), "-f", "-n", path},
        log));
    // e2fsck -n passes over a journal that still needs replaying, as a card pulled while mounted
    // leaves it, with only a warning.
    const std::string report = contentOf(log);
    const bool clean = WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
                       report.find("journal recovery") == std::string::npos;
    return clean ? std::string() : report;
}

std::map<std::string, std::string> LoopCard::repairAndRead(const std::string& path) const {
    const std::string log = m_work + "/repair.log";
    // Both checkers exit with 1 when they repaired something, which is what they are for.
    const bool fat = m_options.fsType == "vfat";
    const int status =
        waitFor(spawn(fat ? std::vector<std::string>{findTool("fsck.fat"), "-a", "-w", path}
                          : std::vector<std::string>{findTool("e2fsck"), "-f", "-y", path},
                      log));
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1)
        throw std::runtime_error("the file system check could not repair the card: " +
                                 contentOf(log));
    const std::string copies = m_work + "/repaired";
    std::filesystem::remove_all(copies);
    std::filesystem::create_directories(copies);
    if (fat) {
        // mcopy fails on a root that holds nothing at all.
        run({findTool("mdir"), "-b", "-i", path, "::/"}, m_work + "/mdir.log",
            {"MTOOLS_SKIP_CHECK=1"});
        if (!contentOf(m_work + "/mdir.log").empty())
            run({findTool("mcopy"), "-s", "-n", "-i", path, "::/*", copies + "/"},
                m_work + "/mcopy.log", {"MTOOLS_SKIP_CHECK=1"});
    } else {
        run({findTool("debugfs"), "-R", "rdump / " + copies, path}, m_work + "/debugfs.log");
    }
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(copies))
        if (entry.is_regular_file())
            files[std::filesystem::relative(entry.path(), copies).string()] =
                contentOf(entry.path().string());
    return files;
}

void LoopCard::cleanUp() noexcept {
    if (m_mounted && ::umount2(m_mountPoint.c_str(), 0) != 0)
        ::umount2(m_mountPoint.c_str(), MNT_DETACH);
    m_mounted = false;
    if (m_fusePid > 0) {
        // A lazy unmount leaves the driver serving; it must not outlive the test.
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        bool ended = false;
        while (!(ended = ::waitpid(m_fusePid, &status, WNOHANG) == m_fusePid) &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (!ended) {
            ::kill(m_fusePid, SIGTERM);
            waitFor(m_fusePid);
        }
        m_fusePid = 0;
    }
    if (!m_removableAttr.empty())
        ::umount2(m_removableAttr.c_str(), MNT_DETACH);
    m_removableAttr.clear();
    if (m_loopFd >= 0) {
        ::ioctl(m_loopFd, LOOP_CLR_FD, 0);
        ::close(m_loopFd);
    }
    m_loopFd = -1;
    // The device lets go of the served image when its descriptor closes; then the server may go.
    if (m_servePid > 0) {
        if (::umount2(m_served.c_str(), 0) != 0)
            ::umount2(m_served.c_str(), MNT_DETACH);
        waitFor(std::exchange(m_servePid, 0));
    }
    std::error_code ignored;
    if (!m_work.empty())
        std::filesystem::remove_all(m_work, ignored);
}

} // namespace velk::test
