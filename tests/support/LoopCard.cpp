#include "LoopCard.h"
#include "Bytes.h"
#include "CardImage.h"
#include "CardTools.h"
#include "LoopAttach.h"
#include "MountNamespace.h"
#include "NeedsRoot.h"
#include "Spawn.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
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

std::string mkfsTool(const std::string& fsType) {
    return fsType == "vfat" ? "mkfs.vfat" : "mkfs." + fsType;
}

/// FAT cards go to fusefat when the kernel cannot mount them itself.
bool fatByFuse(const std::string& fsType) {
    return fsType == "vfat" && !kernelHas("vfat");
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
            failStep("creating a temporary folder");
        m_work = work;

        {
            const int fd = ::open(image().c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
            if (fd < 0)
                failStep("creating " + image());
            const std::uint64_t bytes = m_options.withCard ? m_options.imageBytes : 0;
            const int sized = ::ftruncate(fd, static_cast<off_t>(bytes));
            const int error = errno;
            ::close(fd);
            if (sized != 0)
                failStep("sizing " + image(), error);
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
            runTool(argv, m_work + "/mkfs.log");
        }

        const bool served = m_options.writeBytesPerSecond > 0 || m_options.journal;
        if (served)
            serveImage();
        const std::string deviceImage = served ? m_served + "/card.img" : image();

        AttachedLoop loop = attachToFreeLoop(deviceImage);
        m_loopFd = loop.fd;
        m_device = std::move(loop.device);
        m_name = std::move(loop.name);

        // Mounted before it is removable: whatever watches the readers never meets the card
        // half made.
        if (m_options.withCard) {
            const std::string at =
                m_options.mountPoint.empty() ? m_work + "/card" : m_options.mountPoint;
            std::filesystem::create_directories(at);
            mount(at);
        }
        const std::string attr = m_work + "/removable";
        writeFileOrThrow(attr, "1\n");
        const std::string target = "/sys/block/" + m_name + "/removable";
        if (::mount(attr.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) != 0)
            failStep("binding " + target);
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

void LoopCard::mount(const std::string& at) {
    if (!m_byFuse) {
        if (::mount(m_device.c_str(), at.c_str(), m_options.fsType.c_str(), 0, nullptr) != 0) {
            if (errno == ENODEV)
                throw Unsupported("the kernel has no " + m_options.fsType + " file system");
            failStep("mounting " + m_device + " on " + at);
        }
    } else {
        // Kept in the foreground, so that its end, after the unmount, can be waited for.
        const std::string log = m_work + "/fusefat.log";
        m_fusePid = startTool(
            {findTool("fusefat"), "-f", "-o", "rw+,blkdev,fsname=" + m_device, m_device, at}, log);
        switch (waitForFuseMount(at, m_fusePid)) {
        case FuseStart::mounted:
            break;
        case FuseStart::ended:
            m_fusePid = 0;
            throw std::runtime_error("fusefat ended without mounting " + m_device + ": " +
                                     readBytes(log));
        case FuseStart::tooSlow:
            ::kill(m_fusePid, SIGTERM);
            waitFor(std::exchange(m_fusePid, 0));
            throw std::runtime_error("fusefat did not mount " + m_device + " within 10 s");
        }
    }
    m_mountPoint = at;
    m_mounted = true;
}

void LoopCard::unmount() {
    if (!m_mounted)
        return;
    if (::umount2(m_mountPoint.c_str(), 0) != 0)
        failStep("unmounting " + m_mountPoint);
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
            failStep("unmounting " + m_mountPoint);
    } else if (m_mounted && m_fusePid > 0) {
        waitFor(std::exchange(m_fusePid, 0));
    }
    m_mounted = false;
    m_mountPoint.clear();
    // An image of no bytes is a reader with no medium; the device stays ours.
    if (::truncate(image().c_str(), 0) != 0)
        failStep("emptying the card image");
    if (::ioctl(m_loopFd, LOOP_SET_CAPACITY, 0) != 0)
        failStep("telling " + m_device + " its medium is gone");
}

void LoopCard::remount() {
    const std::string at = m_mountPoint;
    unmount();
    mount(at);
}

std::map<std::string, std::string> LoopCard::readBack() {
    const std::string at = m_mountPoint;
    unmount();
    if (m_options.fsType != "vfat") {
        mount(at);
        return rootFiles(at);
    }
    // What the device still holds in its own cache goes to the image first.
    if (::fsync(m_loopFd) != 0)
        failStep("flushing " + m_device);
    const std::string copies = m_work + "/read-back";
    copyFatFiles(image(), copies, m_work, false);
    mount(at);
    return rootFiles(copies);
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
    const std::string myBytes = readDevice(m_loopFd, m_device);
    const std::string theirBytes = readDevice(other.m_loopFd, other.m_device);
    overwriteDevice(m_loopFd, m_device, theirBytes);
    overwriteDevice(other.m_loopFd, other.m_device, myBytes);
    mount(mine);
    other.mount(theirs);
}

void LoopCard::writeToDevice(std::uint64_t offset, const std::string& bytes) const {
    const int fd = ::open(m_device.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        failStep("opening " + m_device + " for writing");
    const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
    const int error = errno;
    const bool flushed = written == static_cast<ssize_t>(bytes.size()) && ::fsync(fd) == 0;
    const int flushError = errno;
    ::close(fd);
    if (written != static_cast<ssize_t>(bytes.size()))
        failStep("writing to " + m_device, written < 0 ? error : EIO);
    if (!flushed)
        failStep("flushing " + m_device, flushError);
}

std::uint64_t LoopCard::findOnDevice(const std::string& bytes) const {
    if (::fsync(m_loopFd) != 0)
        failStep("flushing " + m_device);
    const std::string content = readBytes(image());
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
    m_servePid = startTool(argv, log);
    switch (waitForFuseMount(m_served, m_servePid)) {
    case FuseStart::mounted:
        break;
    case FuseStart::ended:
        m_servePid = 0;
        throw Unsupported("the FUSE card image could not be served: " + readBytes(log));
    case FuseStart::tooSlow:
        throw std::runtime_error("the FUSE card image was not served within 10 s");
    }
}

void LoopCard::restartJournal() const {
    // Reading the control file makes the server copy the image and empty the log at once.
    if (readBytes(m_served + "/restart-journal") != "ok")
        throw std::runtime_error("the FUSE card image did not restart its journal");
}

std::size_t LoopCard::journalWrites() const {
    return velk::test::journalWrites(m_work + "/journal");
}

void LoopCard::replay(std::size_t writes, const std::string& path) const {
    replayJournal(image() + ".start", m_work + "/journal", writes, path);
}

std::string LoopCard::checkCopy(const std::string& path) const {
    // What the device still holds in its own cache goes to the image first.
    if (::fsync(m_loopFd) != 0)
        failStep("flushing " + m_device);
    writeFileOrThrow(path, readBytes(image()));
    return checkImage(path, m_options.fsType == "vfat", m_work + "/check.log");
}

std::map<std::string, std::string> LoopCard::repairAndRead(const std::string& path) const {
    const bool fat = m_options.fsType == "vfat";
    repairImage(path, fat, m_work + "/repair.log");
    const std::string copies = m_work + "/repaired";
    if (fat) {
        copyFatFiles(path, copies, m_work, true);
    } else {
        std::filesystem::remove_all(copies);
        std::filesystem::create_directories(copies);
        runTool({findTool("debugfs"), "-R", "rdump / " + copies, path}, m_work + "/debugfs.log");
    }
    return allFiles(copies);
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
