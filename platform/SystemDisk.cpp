#include "SystemDisk.h"

#include "KernelFiles.h"

#include <algorithm>
#include <climits>

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

bool onDisk(const MountEntry& m, const LinuxSystem::Disk& disk, const std::string& devRoot) {
    return std::any_of(disk.devices.begin(), disk.devices.end(), [&](const LinuxSystem::BlockDevice& d) {
        return m.device == d.number || m.source == devRoot + "/" + d.name;
    });
}

/// The disk with the devices stacked on it: an encrypted or LVM volume, a RAID array over
/// its partitions ("holders" in sysfs), and those stacked on them in turn.
LinuxSystem::Disk withHolders(LinuxSystem::Disk disk, const std::string& sysRoot) {
    for (std::size_t i = 0; i < disk.devices.size(); ++i) {
        const std::string holders = sysRoot + "/class/block/" + disk.devices[i].name + "/holders";
        for (const std::string& name : folderEntries(holders)) {
            const bool known = std::any_of(disk.devices.begin(), disk.devices.end(),
                                           [&](const LinuxSystem::BlockDevice& d) { return d.name == name; });
            const auto number = parseDeviceNumber(readAttribute(sysRoot + "/class/block/" + name + "/dev"));
            if (!known && number)
                disk.devices.push_back({name, *number, 0});
        }
    }
    return disk;
}

} // namespace

std::string systemUseOf(const LinuxSystem::Disk& whole, const MountTable& mounts, const std::string& procRoot,
                        const std::string& sysRoot, const std::string& devRoot) {
    if (whole.sectors == 0)
        return {};
    const LinuxSystem::Disk disk = withHolders(whole, sysRoot);
    for (const MountEntry& m : mounts.entries())
        if (onDisk(m, disk, devRoot) && systemMountPoint(m.mountPoint))
            return m.mountPoint;
    std::string program(PATH_MAX, '\0');
    const ssize_t n = ::readlink((procRoot + "/self/exe").c_str(), program.data(), program.size());
    program.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    for (const std::string& path : {currentFolder(), program})
        if (const MountEntry* m = path.empty() ? nullptr : mountHolding(mounts, path); m && onDisk(*m, disk, devRoot))
            return path;
    // Swap is a partition ("/dev/mmcblk0p3") or a file; the first line is a heading.
    const auto swaps = readFile(procRoot + "/swaps");
    std::string_view lines = swaps ? std::string_view(*swaps) : std::string_view();
    for (bool heading = true; !lines.empty(); heading = false) {
        const std::size_t end = std::min(lines.find('\n'), lines.size());
        const std::string name = MountTable::unescape(lines.substr(0, std::min(lines.find_first_of(" \t"), end)));
        lines.remove_prefix(std::min(end + 1, lines.size()));
        if (heading || name.empty())
            continue;
        const bool partition = std::any_of(disk.devices.begin(), disk.devices.end(),
                                           [&](const LinuxSystem::BlockDevice& d) { return name == devRoot + "/" + d.name; });
        const MountEntry* m = mountHolding(mounts, name);
        if (partition || (m && !name.starts_with(devRoot + "/") && onDisk(*m, disk, devRoot)))
            return name;
    }
    return {};
}

} // namespace velk
