#include "LinuxSystem.h"

#include "CardHolders.h"
#include "KernelFiles.h"
#include "SystemDisk.h"
#include "UDisks2Mounter.h"
#include "core/PlatformTexts.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velk {

using namespace kernel;

namespace {

/// The busy card's reason, naming the programs that hold it where they are known.
std::string cardInUse(const std::vector<std::string>& programs) {
    std::string reason = text::cardInUse;
    for (std::size_t i = 0; i < programs.size(); ++i)
        reason += (i == 0 ? text::cardInUseBy : ", ") + programs[i];
    return reason + text::cardInUseHint;
}

/// Forces every file of the file system mounted at `mountPoint` to its device, so that a write
/// that fails is told before the card is unmounted. A mount point this user may not open is
/// left to the unmount, which writes everything out as well.
std::error_code syncFileSystem(const std::string& mountPoint) {
    const int fd = ::open(mountPoint.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno == EACCES ? std::error_code() : lastError();
    const std::error_code ec = ::syncfs(fd) == 0 ? std::error_code() : lastError();
    ::close(fd);
    return ec;
}

} // namespace

// The kernel counts media changes in diskseq; where it does not, forgetting the card while
// the reader is empty tells the insertions apart. A card already asked for costs two
// attribute reads a tick, which keeps the monitor's tick short while the card stays unmounted.
void LinuxSystem::requestMount(const std::string& designation) const {
    const std::string prefix = m_dev + "/";
    if (!designation.starts_with(prefix))
        return;
    const std::string name = designation.substr(prefix.size());
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
        return;
    if (mediumSectors(name) == 0) {
        m_mounter->forget(name);
        return;
    }
    const std::uint64_t insertion = insertionOf(name);
    if (m_mounter->asked(name, insertion)) {
        m_mounter->poll();
        return;
    }
    if (!isRemovable(name))
        return;
    const Disk disk = readDisk(name);
    if (cardMountOf(disk, *readMounts(), m_dev))
        return;
    std::vector<std::string> devices;
    for (const BlockDevice& d : disk.devices)
        devices.push_back(m_dev + "/" + d.name);
    m_mounter->request(name, insertion, devices);
}

std::uint64_t LinuxSystem::insertionOf(const std::string& diskName) const {
    return parseNumber<std::uint64_t>(readAttribute(m_sys + "/block/" + diskName + "/diskseq"))
        .value_or(0);
}

std::vector<std::string> LinuxSystem::mountedDevices(const Disk& disk,
                                                     const MountTable& mounts) const {
    std::vector<std::string> devices;
    for (const BlockDevice& d : disk.devices) {
        const std::string path = m_dev + "/" + d.name;
        if (std::any_of(mounts.entries().begin(), mounts.entries().end(), [&](const MountEntry& m) {
                return m.device == d.number || m.source == path;
            }))
            devices.push_back(path);
    }
    return devices;
}

std::string LinuxSystem::ejectCard(const std::string& designation) const {
    const auto name = removableDisk(designation);
    if (!name)
        return text::notACardReader;
    const Disk disk = readDisk(*name);
    const auto table = readMounts();
    if (const std::string use = systemUseOf(disk, *table, m_proc, m_sys, m_dev); !use.empty())
        return text::driveSystemDisk + std::string(text::driveReasonSeparator) + use;
    if (disk.sectors == 0)
        return text::readerEmpty;
    const std::uint64_t insertion = insertionOf(*name);
    std::vector<std::string> mountPoints;
    for (const MountEntry* m : cardMountsOf(disk, *table, m_dev))
        mountPoints.push_back(m->mountPoint);

    // Refused before anything changes: a card left half unmounted helps nobody.
    if (const auto holders = programsUsing(m_proc, mountPoints); !holders.empty())
        return cardInUse(holders);
    for (const std::string& at : mountPoints)
        if (const std::error_code ec = syncFileSystem(at))
            return ec.message();

    const UDisks2Mounter::Unmounted asked = m_mounter->unmount(mountedDevices(disk, *table));
    if (!asked.refusal.empty())
        return asked.busy ? cardInUse(programsUsing(m_proc, mountPoints)) : asked.refusal;
    // What UDisks2 left (it is not running, or knows no such file system, as for a FUSE
    // mount), directly: the latest mount first, so that one inside another comes off first,
    // and again for a mount that one covered.
    for (int pass = 0; pass < 4; ++pass) {
        const auto now = readMounts();
        const auto left = cardMountsOf(disk, *now, m_dev);
        if (left.empty())
            break;
        for (auto m = left.rbegin(); m != left.rend(); ++m) {
            if (::umount2((*m)->mountPoint.c_str(), 0) == 0) {
                if ((*m)->mountPoint.starts_with(ownMountFolder))
                    ::rmdir((*m)->mountPoint.c_str());
                continue;
            }
            const int error = errno;
            if (error == EBUSY)
                return cardInUse(programsUsing(m_proc, mountPoints));
            if ((error == EPERM || error == EACCES) && !asked.asked)
                return text::unmountNotPermitted;
            // Unmounted meanwhile, or covered: the next pass sees.
            if (error != EINVAL && error != ENOENT)
                return std::generic_category().message(error);
        }
    }
    if (!cardMountsOf(disk, *readMounts(), m_dev).empty())
        return cardInUse({});

    if (asked.asked)
        m_mounter->powerOff(designationOf(disk.name));
    // Left in the reader, it would be mounted again at the monitor's next tick.
    m_mounter->leaveUnmounted(*name, insertion, text::mountEjected);
    return {};
}

std::string LinuxSystem::mountCard(const std::string& designation) const {
    const auto name = removableDisk(designation);
    if (!name)
        return text::notACardReader;
    const Disk disk = readDisk(*name);
    if (const std::string use = systemUseOf(disk, *readMounts(), m_proc, m_sys, m_dev);
        !use.empty())
        return text::driveSystemDisk + std::string(text::driveReasonSeparator) + use;
    if (disk.sectors == 0)
        return text::readerEmpty;
    if (cardMountOf(disk, *readMounts(), m_dev))
        return {};
    std::vector<std::string> devices;
    for (const BlockDevice& d : disk.devices)
        devices.push_back(m_dev + "/" + d.name);
    // Asked for anew, unless a question is still open: the operator wants it now.
    if (m_mounter->reason(*name) != text::mountPending)
        m_mounter->forget(*name);
    m_mounter->request(*name, insertionOf(*name), devices);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (auto now = std::chrono::steady_clock::now();
         m_mounter->reason(*name) == text::mountPending && now < deadline;
         now = std::chrono::steady_clock::now())
        m_mounter->wait(std::chrono::duration_cast<std::chrono::microseconds>(deadline - now));

    const std::string why = m_mounter->reason(*name);
    if (why == text::mountNoBus || why == text::mountNoUDisks)
        return mountDirectly(disk);
    if (cardMountOf(readDisk(*name), *readMounts(), m_dev))
        return {};
    if (why == text::mountPending)
        return text::mountTimedOut;
    return why.empty() ? text::cardNotMounted : why;
}

// As mount(8) does when it is given no type and cannot tell one: every file system the kernel
// has for block devices, in its order, on the disk's own device and then on its partitions.
std::string LinuxSystem::mountDirectly(const Disk& disk) const {
    std::vector<std::string> types;
    const auto known = readFile(m_proc + "/filesystems");
    for (std::string_view lines = known ? std::string_view(*known) : std::string_view();
         !lines.empty();) {
        const std::size_t end = std::min(lines.find('\n'), lines.size());
        const std::string_view line = lines.substr(0, end);
        lines.remove_prefix(std::min(end + 1, lines.size()));
        // "nodev" marks a file system on no device; fuseblk needs a program to serve it.
        if (line.starts_with("\t") && line != "\tfuseblk")
            types.emplace_back(line.substr(1));
    }
    const std::string folder = ownMountFolder + disk.name;
    if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
        return errno == EACCES || errno == EPERM ? std::string(text::mountNotPermitted)
                                                 : std::generic_category().message(errno);
    std::string reason = text::mountNoKnownFileSystem;
    for (const BlockDevice& d : disk.devices) {
        const std::string device = m_dev + "/" + d.name;
        for (const std::string& type : types) {
            if (::mount(device.c_str(), folder.c_str(), type.c_str(), MS_NOSUID | MS_NODEV,
                        nullptr) == 0)
                return {};
            const int error = errno;
            if (error == EPERM || error == EACCES) {
                ::rmdir(folder.c_str());
                return text::mountNotPermitted;
            }
            // Only a device that answers with something else than "not this type" says why.
            if (error != EINVAL && error != ENODEV && error != ENOTBLK && error != ENXIO)
                reason = std::generic_category().message(error);
        }
    }
    ::rmdir(folder.c_str());
    return reason;
}

} // namespace velk
