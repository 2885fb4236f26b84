#include "SystemDisk.h"

#include "KernelFiles.h"

#include <algorithm>
#include <climits>
#include <limits>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace velk {

using namespace kernel;

namespace {

/// Where the running system stands: mount points whose loss would break it.
bool systemMountPoint(std::string_view mountPoint) {
    if (mountPoint == "/" || mountPoint == "/home")
        return true;
    for (const std::string_view under : {"/boot", "/usr", "/var", "/etc"})
        if (MountTable::contains(under, mountPoint))
            return true;
    return false;
}

/// The innermost visible mount that holds `path`.
const MountEntry* mountHolding(const MountTable& mounts, const std::string& path) {
    const MountEntry* inner = nullptr;
    for (const MountEntry& m : mounts.entries())
        if (!m.hidden && MountTable::contains(m.mountPoint, path) &&
            (!inner || m.mountPoint.size() > inner->mountPoint.size()))
            inner = &m;
    return inner;
}

/// The device a mount's source names, "/dev/mapper/x" resolved to "dm-0", as a name below devRoot.
std::string resolvedSource(const MountEntry& m, const std::string& devRoot) {
    if (!m.source.starts_with(devRoot + "/"))
        return {};
    char resolved[PATH_MAX];
    if (!::realpath(m.source.c_str(), resolved))
        return {};
    const std::string_view path(resolved);
    return std::string(path.substr(path.rfind('/') + 1));
}

/// By the mount's device number, or by its source: an anonymous device number (btrfs, FUSE)
/// says nothing, while "/dev/mapper/x" names a device by a link.
bool onDisk(const MountEntry& m, const LinuxSystem::Disk& disk, const std::string& devRoot) {
    const std::string resolved = resolvedSource(m, devRoot);
    return std::any_of(
        disk.devices.begin(), disk.devices.end(), [&](const LinuxSystem::BlockDevice& d) {
            return m.device == d.number || m.source == devRoot + "/" + d.name || resolved == d.name;
        });
}

/// The folders an overlay's layers lie in, from its options ("lowerdir=/a:/b,upperdir=/c").
std::vector<std::string> overlayLayers(const MountEntry& m) {
    std::vector<std::string> layers;
    std::string_view options = m.superOptions;
    while (!options.empty()) {
        const std::size_t comma = std::min(options.find(','), options.size());
        const std::string_view option = options.substr(0, comma);
        options.remove_prefix(std::min(comma + 1, options.size()));
        for (const std::string_view key : {"lowerdir=", "upperdir=", "workdir="}) {
            if (!option.starts_with(key))
                continue;
            std::string_view folders = option.substr(key.size());
            while (!folders.empty()) {
                const std::size_t colon = std::min(folders.find(':'), folders.size());
                layers.emplace_back(folders.substr(0, colon));
                folders.remove_prefix(std::min(colon + 1, folders.size()));
            }
        }
    }
    return layers;
}

/// True when the file system of `m` keeps its data on `disk`: on one of its devices, in an
/// overlay layer or a loop device's image file that lies on it, or in a ZFS pool whose
/// device is on it (udev names a pool's devices by the pool's name).
bool usesDisk(const MountEntry& m, const LinuxSystem::Disk& disk, const MountTable& mounts,
              const std::string& sysRoot, const std::string& devRoot, int depth = 0) {
    if (onDisk(m, disk, devRoot))
        return true;
    if (depth > 4)
        return false;
    std::vector<std::string> files;
    if (m.fsType == "overlay")
        files = overlayLayers(m);
    if (m.source.starts_with(devRoot + "/loop"))
        if (const auto backing = readFile(
                sysRoot + "/block/" + m.source.substr(devRoot.size() + 1) + "/loop/backing_file"))
            files.emplace_back(backing->substr(0, backing->find('\n')));
    for (const std::string& file : files)
        if (const MountEntry* holder = mountHolding(mounts, file);
            holder && holder != &m && usesDisk(*holder, disk, mounts, sysRoot, devRoot, depth + 1))
            return true;
    if (m.fsType == "zfs") {
        char device[PATH_MAX];
        const std::string pool = m.source.substr(0, m.source.find('/'));
        if (::realpath((devRoot + "/disk/by-label/" + pool).c_str(), device)) {
            const std::string_view path(device);
            const std::string_view name = path.substr(path.rfind('/') + 1);
            return std::any_of(disk.devices.begin(), disk.devices.end(),
                               [&](const LinuxSystem::BlockDevice& d) { return d.name == name; });
        }
    }
    return false;
}

/// Where desktops mount removable media of their own accord: a second file system of a card
/// there is the card's, not the system's.
bool removableMediaFolder(std::string_view mountPoint) {
    return MountTable::contains("/media", mountPoint) ||
           MountTable::contains("/run/media", mountPoint);
}

/// The disk with the devices stacked on it: an encrypted or LVM volume, a RAID array over
/// its partitions ("holders" in sysfs), and those stacked on them in turn.
LinuxSystem::Disk withHolders(LinuxSystem::Disk disk, const std::string& sysRoot) {
    for (std::size_t i = 0; i < disk.devices.size(); ++i) {
        const std::string holders = sysRoot + "/class/block/" + disk.devices[i].name + "/holders";
        for (const std::string& name : folderEntries(holders)) {
            const bool known =
                std::any_of(disk.devices.begin(), disk.devices.end(),
                            [&](const LinuxSystem::BlockDevice& d) { return d.name == name; });
            const auto number =
                parseDeviceNumber(readAttribute(sysRoot + "/class/block/" + name + "/dev"));
            if (!known && number)
                disk.devices.push_back({name, *number, 0});
        }
    }
    return disk;
}

} // namespace

const MountEntry* cardMountOf(const LinuxSystem::Disk& disk, const MountTable& mounts,
                              const std::string& devRoot) {
    const MountEntry* best = nullptr;
    unsigned bestPartition = std::numeric_limits<unsigned>::max();
    for (const MountEntry& m : mounts.entries()) {
        if (m.hidden || m.root != "/")
            continue;
        for (const LinuxSystem::BlockDevice& d : disk.devices) {
            const bool same = m.device == d.number || m.source == devRoot + "/" + d.name;
            if (same && d.partition < bestPartition) {
                best = &m;
                bestPartition = d.partition;
            }
        }
    }
    return best;
}

std::vector<const MountEntry*> cardMountsOf(const LinuxSystem::Disk& disk, const MountTable& mounts,
                                            const std::string& devRoot) {
    std::vector<const MountEntry*> found;
    for (const MountEntry& m : mounts.entries())
        if (!m.hidden && onDisk(m, disk, devRoot))
            found.push_back(&m);
    return found;
}

std::string systemUseOf(const LinuxSystem::Disk& whole, const MountTable& mounts,
                        const std::string& procRoot, const std::string& sysRoot,
                        const std::string& devRoot) {
    if (whole.sectors == 0)
        return {};
    const LinuxSystem::Disk disk = withHolders(whole, sysRoot);
    const MountEntry* card = cardMountOf(whole, mounts, devRoot);
    for (const MountEntry& m : mounts.entries())
        if (usesDisk(m, disk, mounts, sysRoot, devRoot) &&
            (systemMountPoint(m.mountPoint) || (&m != card && !removableMediaFolder(m.mountPoint))))
            return m.mountPoint;
    std::string program(PATH_MAX, '\0');
    const ssize_t n = ::readlink((procRoot + "/self/exe").c_str(), program.data(), program.size());
    program.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    for (const std::string& path : {currentFolder(), program})
        if (const MountEntry* m = path.empty() ? nullptr : mountHolding(mounts, path);
            m && onDisk(*m, disk, devRoot))
            return path;
    // Swap is a partition ("/dev/mmcblk0p3") or a file; the first line is a heading.
    const auto swaps = readFile(procRoot + "/swaps");
    std::string_view lines = swaps ? std::string_view(*swaps) : std::string_view();
    for (bool heading = true; !lines.empty(); heading = false) {
        const std::size_t end = std::min(lines.find('\n'), lines.size());
        const std::string name =
            MountTable::unescape(lines.substr(0, std::min(lines.find_first_of(" \t"), end)));
        lines.remove_prefix(std::min(end + 1, lines.size()));
        if (heading || name.empty())
            continue;
        const bool partition = std::any_of(
            disk.devices.begin(), disk.devices.end(),
            [&](const LinuxSystem::BlockDevice& d) { return name == devRoot + "/" + d.name; });
        const MountEntry* m = mountHolding(mounts, name);
        if (partition || (m && !name.starts_with(devRoot + "/") && onDisk(*m, disk, devRoot)))
            return name;
    }
    return {};
}

} // namespace velk
