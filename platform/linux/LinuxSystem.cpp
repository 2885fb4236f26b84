#include "LinuxSystem.h"

#include "KernelFiles.h"
#include "MountWatch.h"
#include "SystemDisk.h"
#include "UDisks2Mounter.h"
#include "core/CardMonitor.h"
#include "core/PlatformTexts.h"
#include "platform/Folders.h"
#include "platform/System.h"

#include <algorithm>
#include <climits>
#include <limits>
#include <memory>
#include <utility>

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace velk {

using namespace kernel;

namespace {

/// The disk that a sysfs block device path ("../devices/.../block/sda/sda1") belongs to: the
/// folder right below the last "block" folder, which is the partition's parent for a partition.
std::optional<std::string> diskInPath(std::string_view path) {
    std::optional<std::string> disk;
    bool afterBlock = false;
    anyComponent(path, [&](std::string_view part) {
        if (afterBlock)
            disk = std::string(part);
        afterBlock = part == "block";
        return false;
    });
    return disk;
}

/// sdz before sdaa, mmcblk2 before mmcblk10.
bool diskOrder(const LinuxSystem::Disk& a, const LinuxSystem::Disk& b) {
    if (a.name.size() != b.name.size())
        return a.name.size() < b.name.size();
    return a.name < b.name;
}

std::string labelWith(const std::string& designation, const std::string& detail) {
    return designation + text::driveDetailOpen + detail + text::driveDetailClose;
}

std::optional<SpaceCounts> spaceOf(const std::string& mountPoint) {
    struct statvfs st {};
    if (::statvfs(mountPoint.c_str(), &st) != 0)
        return std::nullopt;
    return LinuxSystem::spaceCounts(st.f_frsize != 0 ? st.f_frsize : st.f_bsize, st.f_blocks,
                                    st.f_bavail);
}

/// The card the monitor refuses for its size: its file system is measured as the monitor does,
/// and only on a disk large enough to hold such a file system.
bool tooLargeForPlayer(const LinuxSystem::Disk& disk, const std::string& mountPoint) {
    if (disk.sectors * 512 <= static_cast<std::uint64_t>(CardMonitor::largestCardBytes))
        return false;
    const auto space = spaceOf(mountPoint);
    return space && CardMonitor::tooLarge(*space);
}

} // namespace

SpaceCounts LinuxSystem::spaceCounts(std::uint64_t fragmentBytes, std::uint64_t blocks,
                                     std::uint64_t availableBlocks) {
    auto clamp = [](std::uint64_t n) {
        return static_cast<std::uint32_t>(
            std::min<std::uint64_t>(n, std::numeric_limits<std::uint32_t>::max()));
    };
    SpaceCounts counts;
    if (fragmentBytes != 0 && fragmentBytes % 512 == 0) {
        counts.bytesPerSector = 512;
        counts.sectorsPerCluster = clamp(fragmentBytes / 512);
    } else {
        counts.bytesPerSector = clamp(fragmentBytes);
        counts.sectorsPerCluster = 1;
    }
    counts.totalClusters = clamp(blocks);
    counts.freeClusters = clamp(availableBlocks);
    return counts;
}

LinuxSystem::LinuxSystem(std::string procRoot, std::string sysRoot, std::string devRoot)
    : m_proc(std::move(procRoot)), m_sys(std::move(sysRoot)), m_dev(std::move(devRoot)),
      m_mounter(std::make_shared<UDisks2Mounter>()),
      m_mounts(std::make_shared<MountWatch>(m_proc)) {}

std::shared_ptr<const MountTable> LinuxSystem::readMounts() const {
    return m_mounts->table();
}

std::string LinuxSystem::designationOf(const std::string& diskName) const {
    return m_dev + "/" + diskName;
}

// The sys/block entry links to the disk's place in the device tree, which passes through a
// USB host controller ("usb2") for a USB reader; one readlink says it all. Where the entry is
// no link, the disk's device link is resolved instead.
bool LinuxSystem::onUsbBus(const std::string& diskName) const {
    const std::string disk = m_sys + "/block/" + diskName;
    auto target = linkTarget(disk);
    if (!target) {
        char resolved[PATH_MAX];
        if (!::realpath((disk + "/device").c_str(), resolved))
            return false;
        target = resolved;
    }
    return anyComponent(*target, [](std::string_view part) { return part.starts_with("usb"); });
}

// Removable: the kernel says so, or the disk hangs off a USB bus (card readers often claim
// to be fixed), or it is an SD or MMC card in a slot. An eMMC chip also reads "MMC" but has
// boot areas, which a card never has.
bool LinuxSystem::isRemovable(const std::string& diskName) const {
    const std::string disk = m_sys + "/block/" + diskName;
    const Folder folder(disk);
    if (!folder)
        return false;
    // mmcblk0boot0 is a boot area of the eMMC mmcblk0, not a disk of its own.
    const std::size_t boot = diskName.rfind("boot");
    if (boot != std::string::npos && boot > 0 &&
        parseNumber<unsigned>(std::string_view(diskName).substr(boot + 4)) &&
        isDirectory(m_sys + "/block/" + diskName.substr(0, boot)))
        return false;
    const std::string deviceType = readAttribute("device/type", folder.fd());
    if (readAttribute("removable", folder.fd()) == "1")
        return deviceType != "5"; // an optical drive, not a card reader
    if (deviceType == "SD" || deviceType == "MMC")
        return !exists(disk + "boot0");
    return onUsbBus(diskName);
}

LinuxSystem::Disk LinuxSystem::readDisk(const std::string& diskName) const {
    const Folder folder(m_sys + "/block/" + diskName);
    Disk disk;
    disk.name = diskName;
    disk.sectors = parseNumber<std::uint64_t>(readAttribute("size", folder.fd())).value_or(0);
    const auto own = parseDeviceNumber(readAttribute("dev", folder.fd()));
    disk.devices.push_back({diskName, own.value_or(DeviceNumber{}), 0});
    // The partitions are the sub-folders with a "partition" attribute; matching names against
    // the disk's would take sdaa1 for a partition of sda. Their names do begin with the
    // disk's, which spares reading the attribute in queue/, power/ and the like.
    if (!folder)
        return disk;
    for (const std::string& entry : folderEntries(".", true, folder.fd())) {
        if (!entry.starts_with(diskName))
            continue;
        const auto number = parseNumber<unsigned>(readAttribute(entry + "/partition", folder.fd()));
        if (!number)
            continue;
        const auto dev = parseDeviceNumber(readAttribute(entry + "/dev", folder.fd()));
        disk.devices.push_back({entry, dev.value_or(DeviceNumber{}), *number});
    }
    std::sort(disk.devices.begin() + 1, disk.devices.end(),
              [](const BlockDevice& a, const BlockDevice& b) { return a.partition < b.partition; });
    return disk;
}

std::optional<std::string> LinuxSystem::removableDisk(const std::string& designation) const {
    const std::string prefix = m_dev + "/";
    if (!designation.starts_with(prefix))
        return std::nullopt;
    std::string name = designation.substr(prefix.size());
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
        return std::nullopt;
    if (!isRemovable(name))
        return std::nullopt;
    return name;
}

std::uint64_t LinuxSystem::mediumSectors(const std::string& diskName) const {
    return parseNumber<std::uint64_t>(readAttribute(m_sys + "/block/" + diskName + "/size"))
        .value_or(0);
}

// The kernel's index of block devices by number links each to its place under a disk.
std::optional<std::string> LinuxSystem::diskOf(const MountEntry& mount) const {
    auto target = linkTarget(m_sys + "/dev/block/" + std::to_string(mount.device.major) + ":" +
                             std::to_string(mount.device.minor));
    const std::string prefix = m_dev + "/";
    if (!target && mount.source.starts_with(prefix) &&
        mount.source.find('/', prefix.size()) == std::string::npos)
        target = linkTarget(m_sys + "/class/block/" + mount.source.substr(prefix.size()));
    return target ? diskInPath(*target) : std::nullopt;
}

bool LinuxSystem::onRemovableDisk(const MountEntry& mount) const {
    const auto disk = diskOf(mount);
    return disk && isRemovable(*disk);
}

const MountEntry* LinuxSystem::fixedMount(const MountTable& mounts,
                                          const std::string& designation) const {
    for (const MountEntry* m : mounts.storage())
        if (m->mountPoint == designation)
            return onRemovableDisk(*m) ? nullptr : m;
    return nullptr;
}

std::vector<LinuxSystem::Disk> LinuxSystem::removableDisks() const {
    std::vector<Disk> disks;
    for (const std::string& name : folderEntries(m_sys + "/block"))
        if (isRemovable(name))
            disks.push_back(readDisk(name));
    std::sort(disks.begin(), disks.end(), diskOrder);
    return disks;
}

std::vector<DriveEntry> LinuxSystem::drives() const {
    const auto table = readMounts();
    const MountTable& mounts = *table;
    std::vector<DriveEntry> out;
    for (const Disk& disk : removableDisks()) {
        const std::string designation = designationOf(disk.name);
        std::string detail;
        if (const std::string use = systemUseOf(disk, mounts, m_proc, m_sys, m_dev); !use.empty())
            detail = text::driveSystemDisk + std::string(text::driveReasonSeparator) + use;
        else if (disk.sectors == 0)
            detail = text::driveNoCard;
        else if (const MountEntry* m = cardMountOf(disk, mounts, m_dev))
            detail = tooLargeForPlayer(disk, m->mountPoint) ? std::string(text::driveCardTooLarge)
                                                            : text::driveCardPrefix + m->mountPoint;
        else if (const std::string why = m_mounter->reason(disk.name); !why.empty())
            detail = text::driveCardNotMounted + std::string(text::driveReasonSeparator) + why;
        else
            detail = text::driveCardNotMounted;
        if (m_sourceRoots.waiting(designation))
            detail = text::driveNotAnswering;
        out.push_back({designation, labelWith(designation, detail)});
    }
    for (const MountEntry* m : mounts.storage())
        if (!onRemovableDisk(*m))
            out.push_back(
                {m->mountPoint, labelWith(m->mountPoint, m_sourceRoots.waiting(m->mountPoint)
                                                             ? text::driveNotAnswering
                                                             : m->source)});
    return out;
}

std::string LinuxSystem::currentDrive() const {
    const std::string here = currentFolder();
    const auto table = readMounts();
    const MountTable& mounts = *table;

    // The innermost mount that holds the current folder, whatever its kind.
    const MountEntry* inner = nullptr;
    for (const MountEntry& m : mounts.entries()) {
        if (!m.hidden && MountTable::contains(m.mountPoint, here) &&
            (!inner || m.mountPoint.size() > inner->mountPoint.size()))
            inner = &m;
    }
    if (inner && onRemovableDisk(*inner))
        return designationOf(*diskOf(*inner));

    std::vector<const MountEntry*> fixed;
    for (const MountEntry* m : mounts.storage())
        if (!onRemovableDisk(*m))
            fixed.push_back(m);
    if (inner) {
        for (const MountEntry* m : fixed)
            if (m->device == inner->device && m->root == inner->root && m->fsType == inner->fsType)
                return m->mountPoint;
    }
    // A folder on a file system the lists leave out (a tmpfs, a bind mount): the drive above it.
    const MountEntry* best = nullptr;
    for (const MountEntry* m : fixed)
        if (MountTable::contains(m->mountPoint, here) &&
            (!best || m->mountPoint.size() > best->mountPoint.size()))
            best = m;
    return best ? best->mountPoint : std::string("/");
}

std::uint32_t LinuxSystem::driveType(const std::string& designation) const {
    const auto table = readMounts();
    const MountTable& mounts = *table;
    if (const auto name = removableDisk(designation))
        return systemUseOf(readDisk(*name), mounts, m_proc, m_sys, m_dev).empty()
                   ? drive_type::removable
                   : drive_type::fixed;
    const MountEntry* m = fixedMount(mounts, designation);
    if (!m)
        return drive_type::noRootDir;
    return MountTable::kind(*m) == MountKind::remote ? drive_type::remote : drive_type::fixed;
}

// The size goes to 0 the moment a card is pulled, before its mount is cleared away.
std::optional<SpaceCounts> LinuxSystem::diskSpace(const std::string& designation) const {
    if (const auto name = removableDisk(designation)) {
        if (mediumSectors(*name) == 0)
            return std::nullopt;
        const auto table = readMounts();
        const MountEntry* m = cardMountOf(readDisk(*name), *table, m_dev);
        return m ? spaceOf(m->mountPoint) : std::nullopt;
    }
    const auto table = readMounts();
    const MountTable& mounts = *table;
    const MountEntry* m = fixedMount(mounts, designation);
    return m ? spaceOf(m->mountPoint) : std::nullopt;
}

RootFolder LinuxSystem::rootFolder(const std::string& designation) const {
    const auto table = readMounts();
    const MountTable& mounts = *table;
    if (const auto name = removableDisk(designation)) {
        if (mediumSectors(*name) == 0)
            return {RootFolder::Status::deviceUnavailable,
                    {},
                    std::error_code(ENOMEDIUM, std::generic_category()).message()};
        if (const MountEntry* m = cardMountOf(readDisk(*name), mounts, m_dev))
            return {RootFolder::Status::ok, m->mountPoint, {}};
        return {RootFolder::Status::deviceUnavailable, {}, text::cardNotMounted};
    }
    if (const MountEntry* m = fixedMount(mounts, designation))
        return {RootFolder::Status::ok, m->mountPoint, {}};
    return {
        RootFolder::Status::failed, {}, std::make_error_code(std::errc::no_such_device).message()};
}

std::optional<RootFolder> LinuxSystem::sourceRoot(const std::string& designation) const {
    const RootFolder root = rootFolder(designation);
    if (root.status != RootFolder::Status::ok)
        return root;
    return m_sourceRoots.answer(designation, [root] { return listableRoot(root); });
}

std::unique_ptr<SystemPort> makeSystem() {
    return std::make_unique<LinuxSystem>();
}

} // namespace velk
