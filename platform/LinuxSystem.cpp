#include "LinuxSystem.h"

#include "System.h"
#include "UDisks2Mounter.h"
#include "VolumeSerial.h"
#include "core/Texts.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace velk {

namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

/// A proc file, read whole with plain reads: stat gives no size for it.
std::optional<std::string> readFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string text;
    std::size_t used = 0;
    text.resize(4096);
    for (;;) {
        if (used == text.size())
            text.resize(text.size() * 2);
        const ssize_t n = ::read(fd, text.data() + used, text.size() - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        used += static_cast<std::size_t>(n);
    }
    ::close(fd);
    text.resize(used);
    return text;
}

/// An open folder; files in it are opened relative to it, which spares the kernel a walk of
/// the whole sysfs path for every attribute.
class Folder {
public:
    explicit Folder(const std::string& path)
        : m_fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
    ~Folder() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    explicit operator bool() const { return m_fd >= 0; }
    [[nodiscard]] int fd() const { return m_fd; }

private:
    int m_fd;
    off_t m_written = 0;
};

/// A one-line attribute without its newline; empty when it cannot be read.
std::string readAttribute(const std::string& path, int at = AT_FDCWD) {
    char buffer[128];
    const int fd = ::openat(at, path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    ssize_t n;
    do {
        n = ::read(fd, buffer, sizeof buffer);
    } while (n < 0 && errno == EINTR);
    ::close(fd);
    if (n <= 0)
        return {};
    std::string_view text(buffer, static_cast<std::size_t>(n));
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.remove_suffix(1);
    return std::string(text);
}

template <typename T> std::optional<T> parseNumber(std::string_view text) {
    T value{};
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<DeviceNumber> parseDeviceNumber(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const auto major = parseNumber<unsigned>(text.substr(0, colon));
    const auto minor = parseNumber<unsigned>(text.substr(colon + 1));
    if (!major || !minor)
        return std::nullopt;
    return DeviceNumber{*major, *minor};
}

bool exists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

bool isDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

/// The names in a folder; with `foldersOnly`, those of plain sub-folders (links left out).
std::vector<std::string> folderEntries(const std::string& path, bool foldersOnly = false,
                                       int at = AT_FDCWD) {
    std::vector<std::string> names;
    const int fd = ::openat(at, path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!dir) {
        if (fd >= 0)
            ::close(fd);
        return names;
    }
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view name = e->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        if (foldersOnly && e->d_type != DT_DIR &&
            (e->d_type != DT_UNKNOWN || ::fstatat(fd, e->d_name, &st, 0) != 0 ||
             !S_ISDIR(st.st_mode)))
            continue;
        names.emplace_back(name);
    }
    ::closedir(dir);
    return names;
}

/// Each '/'-separated component of `path`, in order, until `visit` returns true.
template <typename Visit> bool anyComponent(std::string_view path, Visit visit) {
    while (!path.empty()) {
        const std::size_t slash = path.find('/');
        if (visit(path.substr(0, slash)))
            return true;
        if (slash == std::string_view::npos)
            break;
        path.remove_prefix(slash + 1);
    }
    return false;
}

std::optional<std::string> linkTarget(const std::string& link) {
    char target[PATH_MAX];
    const ssize_t n = ::readlink(link.c_str(), target, sizeof target);
    if (n <= 0 || static_cast<std::size_t>(n) == sizeof target)
        return std::nullopt;
    return std::string(target, static_cast<std::size_t>(n));
}

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

/// The card's file system: the whole disk's mount before a partition's, the first partition
/// before later ones, the first mount of one device before its other mounts. A mount of a
/// folder of the card (a bind mount) is not its root.
const MountEntry* cardMount(const LinuxSystem::Disk& disk, const MountTable& mounts,
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

std::optional<SpaceCounts> spaceOf(const std::string& mountPoint) {
    struct statvfs st {};
    if (::statvfs(mountPoint.c_str(), &st) != 0)
        return std::nullopt;
    return LinuxSystem::spaceCounts(st.f_frsize != 0 ? st.f_frsize : st.f_bsize, st.f_blocks,
                                    st.f_bavail);
}

std::string currentFolder() {
    std::string path(PATH_MAX, '\0');
    while (!::getcwd(path.data(), path.size())) {
        if (errno != ERANGE)
            return {};
        path.resize(path.size() * 2);
    }
    path.resize(path.find('\0'));
    return path;
}

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

std::error_code syncPath(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0)
        return lastError();
    std::error_code result;
    if (::fsync(fd) != 0)
        result = lastError();
    if (::close(fd) != 0 && !result)
        result = lastError();
    return result;
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
    : m_proc(std::move(procRoot)),
      m_sys(std::move(sysRoot)),
      m_dev(std::move(devRoot)),
      m_mounter(std::make_shared<UDisks2Mounter>()) {}

MountTable LinuxSystem::readMounts() const {
    const auto text = readFile(m_proc + "/self/mountinfo");
    return MountTable::parse(text ? std::string_view(*text) : std::string_view());
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

std::string LinuxSystem::systemUse(const Disk& disk, const MountTable& mounts) const {
    if (disk.sectors == 0)
        return {};
    for (const MountEntry& m : mounts.entries())
        if (onDisk(m, disk, m_dev) && systemMountPoint(m.mountPoint))
            return m.mountPoint;
    std::string program(PATH_MAX, '\0');
    const ssize_t n = ::readlink((m_proc + "/self/exe").c_str(), program.data(), program.size());
    program.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    for (const std::string& path : {currentFolder(), program})
        if (const MountEntry* m = path.empty() ? nullptr : mountHolding(mounts, path); m && onDisk(*m, disk, m_dev))
            return path;
    // Swap is a partition ("/dev/mmcblk0p3") or a file; the first line is a heading.
    const auto swaps = readFile(m_proc + "/swaps");
    std::string_view lines = swaps ? std::string_view(*swaps) : std::string_view();
    for (bool heading = true; !lines.empty(); heading = false) {
        const std::size_t end = std::min(lines.find('\n'), lines.size());
        const std::string name = MountTable::unescape(lines.substr(0, std::min(lines.find_first_of(" \t"), end)));
        lines.remove_prefix(std::min(end + 1, lines.size()));
        if (heading || name.empty())
            continue;
        const bool partition = std::any_of(disk.devices.begin(), disk.devices.end(),
                                           [&](const BlockDevice& d) { return name == m_dev + "/" + d.name; });
        const MountEntry* m = mountHolding(mounts, name);
        if (partition || (m && !name.starts_with(m_dev + "/") && onDisk(*m, disk, m_dev)))
            return name;
    }
    return {};
}

std::vector<DriveEntry> LinuxSystem::drives() const {
    const MountTable mounts = readMounts();
    std::vector<DriveEntry> out;
    for (const Disk& disk : removableDisks()) {
        const std::string designation = designationOf(disk.name);
        std::string detail;
        if (const std::string use = systemUse(disk, mounts); !use.empty())
            detail = text::driveSystemDisk + std::string(text::driveReasonSeparator) + use;
        else if (disk.sectors == 0)
            detail = text::driveNoCard;
        else if (const MountEntry* m = cardMount(disk, mounts, m_dev))
            detail = text::driveCardPrefix + m->mountPoint;
        else if (const std::string why = m_mounter->reason(disk.name); !why.empty())
            detail = text::driveCardNotMounted + std::string(text::driveReasonSeparator) + why;
        else
            detail = text::driveCardNotMounted;
        out.push_back({designation, labelWith(designation, detail)});
    }
    for (const MountEntry* m : mounts.storage())
        if (!onRemovableDisk(*m))
            out.push_back({m->mountPoint, labelWith(m->mountPoint, m->source)});
    return out;
}

std::string LinuxSystem::currentDrive() const {
    const std::string here = currentFolder();
    const MountTable mounts = readMounts();

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
    const MountTable mounts = readMounts();
    if (const auto name = removableDisk(designation))
        return systemUse(readDisk(*name), mounts).empty() ? drive_type::removable : drive_type::fixed;
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
        const MountTable mounts = readMounts();
        const MountEntry* m = cardMount(readDisk(*name), mounts, m_dev);
        return m ? spaceOf(m->mountPoint) : std::nullopt;
    }
    const MountTable mounts = readMounts();
    const MountEntry* m = fixedMount(mounts, designation);
    return m ? spaceOf(m->mountPoint) : std::nullopt;
}

RootFolder LinuxSystem::rootFolder(const std::string& designation) const {
    const MountTable mounts = readMounts();
    if (const auto name = removableDisk(designation)) {
        if (mediumSectors(*name) == 0)
            return {RootFolder::Status::deviceUnavailable,
                    {},
                    std::error_code(ENOMEDIUM, std::generic_category()).message()};
        if (const MountEntry* m = cardMount(readDisk(*name), mounts, m_dev))
            return {RootFolder::Status::ok, m->mountPoint, {}};
        return {RootFolder::Status::deviceUnavailable, {}, text::cardNotMounted};
    }
    if (const MountEntry* m = fixedMount(mounts, designation))
        return {RootFolder::Status::ok, m->mountPoint, {}};
    return {
        RootFolder::Status::failed, {}, std::make_error_code(std::errc::no_such_device).message()};
}

std::error_code LinuxSystem::flushFolder(const std::string& path) const {
    return syncPath(path, O_RDONLY | O_DIRECTORY);
}

namespace {

class PosixFile : public OpenFile {
public:
    explicit PosixFile(int fd) : m_fd(fd) {}
    ~PosixFile() override {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    std::size_t read(char* buffer, std::size_t size, std::error_code& ec) override {
        const ssize_t n = ::read(m_fd, buffer, size);
        if (n < 0) {
            ec = lastError();
            return 0;
        }
        return static_cast<std::size_t>(n);
    }
    std::size_t write(const char* buffer, std::size_t size, std::error_code& ec) override {
        const ssize_t n = ::write(m_fd, buffer, size);
        if (n < 0) {
            ec = lastError();
            return 0;
        }
        // Start the device writing now rather than at the flush, so that writing to the card
        // overlaps reading the source. The flush still checks that all arrived; an error the
        // device gives already stops the copy here. Some file systems cannot start writeback.
        if (::sync_file_range(m_fd, m_written, n, SYNC_FILE_RANGE_WRITE) != 0 && errno != EINVAL &&
            errno != ESPIPE && errno != ENOSYS && errno != EOPNOTSUPP) {
            ec = lastError();
            return 0;
        }
        m_written += n;
        return static_cast<std::size_t>(n);
    }
    std::error_code flush() override {
        return ::fdatasync(m_fd) == 0 || errno == EINVAL ? std::error_code() : lastError();
    }
    std::error_code close() override {
        const int fd = std::exchange(m_fd, -1);
        return ::close(fd) == 0 ? std::error_code() : lastError();
    }

private:
    int m_fd;
    off_t m_written = 0;
};

/// A file read straight from the device into aligned memory, as O_DIRECT requires; the
/// caller's reads are served from that buffer in whatever sizes they ask.
class DirectFile : public OpenFile {
public:
    static constexpr std::size_t bufferBytes = std::size_t{1} << 20;

    DirectFile(int fd, void* buffer) : m_fd(fd), m_buffer(static_cast<char*>(buffer)) {}
    ~DirectFile() override {
        if (m_fd >= 0)
            ::close(m_fd);
        std::free(m_buffer);
    }
    DirectFile(const DirectFile&) = delete;
    DirectFile& operator=(const DirectFile&) = delete;

    std::size_t read(char* buffer, std::size_t size, std::error_code& ec) override {
        // A caller's page-aligned buffer of whole pages takes the device's bytes directly.
        if (m_next == m_end && size >= 4096 && reinterpret_cast<std::uintptr_t>(buffer) % 4096 == 0) {
            const ssize_t n = ::read(m_fd, buffer, size - size % 4096);
            if (n < 0)
                ec = lastError();
            return n < 0 ? 0 : static_cast<std::size_t>(n);
        }
        if (m_next == m_end) {
            const ssize_t n = ::read(m_fd, m_buffer, bufferBytes);
            if (n < 0) {
                ec = lastError();
                return 0;
            }
            m_next = 0;
            m_end = static_cast<std::size_t>(n);
        }
        const std::size_t n = std::min(size, m_end - m_next);
        std::memcpy(buffer, m_buffer + m_next, n);
        m_next += n;
        return n;
    }
    std::size_t write(const char*, std::size_t, std::error_code& ec) override {
        ec = std::make_error_code(std::errc::bad_file_descriptor);
        return 0;
    }
    std::error_code flush() override { return {}; }
    std::error_code close() override {
        const int fd = std::exchange(m_fd, -1);
        return ::close(fd) == 0 ? std::error_code() : lastError();
    }

private:
    int m_fd;
    char* m_buffer;
    std::size_t m_next = 0;
    std::size_t m_end = 0;
};

/// The file opened to bypass the page cache, or null where the file system does not allow it.
std::unique_ptr<OpenFile> openDirect(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_DIRECT);
    if (fd < 0)
        return nullptr;
    void* buffer = nullptr;
    if (::posix_memalign(&buffer, 4096, DirectFile::bufferBytes) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<DirectFile>(fd, buffer);
}

// A file read back to check what reached the card must come from the device: its data is
// forced out, then dropped from the page cache, so that the reads that follow go to the card.
std::error_code dropCachedData(int fd) {
    if (::fdatasync(fd) != 0 && errno != EINVAL && errno != EROFS)
        return lastError();
    if (const int err = ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED); err != 0)
        return {err, std::generic_category()};
    return {};
}

/// The serial recorded at the start of the device that a mount names, when it can be read
/// (root may; a desktop user usually may not, but has udev's UUID instead).
std::string serialOnDevice(const std::string& device) {
    const int fd = ::open(device.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::uint8_t header[volumeHeaderBytes];
    ssize_t n;
    do {
        n = ::pread(fd, header, sizeof header, 0);
    } while (n < 0 && errno == EINTR);
    ::close(fd);
    return n > 0 ? volumeSerial(std::span(header, static_cast<std::size_t>(n))) : std::string();
}

/// The UUID that udev recorded for a block device, where udev runs.
std::string uuidOf(const std::string& devRoot, dev_t device) {
    const std::string folder = devRoot + "/disk/by-uuid";
    for (const std::string& name : folderEntries(folder)) {
        struct stat st {};
        if (::stat((folder + "/" + name).c_str(), &st) == 0 && S_ISBLK(st.st_mode) &&
            st.st_rdev == device)
            return name;
    }
    return {};
}

} // namespace

std::unique_ptr<OpenFile> LinuxSystem::openFile(const std::string& path, OpenMode mode,
                                                std::error_code& ec) const {
    int flags = O_CLOEXEC;
    switch (mode) {
    case OpenMode::read:
    case OpenMode::readFromDevice: flags |= O_RDONLY; break;
    case OpenMode::createOrTruncate: flags |= O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW; break;
    case OpenMode::createOrKeep: flags |= O_WRONLY | O_CREAT | O_NOFOLLOW; break;
    }
    // Direct reads go to the device whatever the cache holds (the kernel writes back dirty
    // pages of the range first); file systems without them drop the cached pages instead.
    if (mode == OpenMode::readFromDevice)
        if (auto direct = openDirect(path))
            return direct;
    int fd;
    do {
        fd = ::open(path.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        ec = lastError();
        return nullptr;
    }
    auto file = std::make_unique<PosixFile>(fd);
    if (mode == OpenMode::readFromDevice) {
        if ((ec = dropCachedData(fd)))
            return nullptr;
    }
    ec.clear();
    return file;
}

std::optional<CardIdentity> LinuxSystem::cardIdentity(const std::string& root) const {
    struct stat st {};
    struct statvfs vfs {};
    if (::stat(root.c_str(), &st) != 0 || ::statvfs(root.c_str(), &vfs) != 0)
        return std::nullopt;
    std::string volume = "dev " + std::to_string(major(st.st_dev)) + ":" +
                         std::to_string(minor(st.st_dev)) + " fsid " + std::to_string(vfs.f_fsid) +
                         " blocks " + std::to_string(vfs.f_blocks);
    if (const std::string uuid = uuidOf(m_dev, st.st_dev); !uuid.empty())
        volume += " uuid " + uuid;
    // A FUSE file system has a device number of its own; the device it reads is its source.
    const MountTable mounts = readMounts();
    const MountEntry* m = mounts.at(root);
    if (m && m->source.starts_with(m_dev + "/"))
        if (const std::string serial = serialOnDevice(m->source); !serial.empty())
            volume += " serial " + serial;
    // A clone made with dd carries the same serial: the kernel numbers every medium it sees
    // in a reader (diskseq), and an SD card has its maker's serial in its CID.
    if (const auto disk = m ? diskOf(*m) : std::nullopt) {
        const Folder folder(m_sys + "/block/" + *disk);
        if (const std::string seq = readAttribute("diskseq", folder.fd()); !seq.empty())
            volume += " diskseq " + seq;
        if (const std::string cid = readAttribute("device/cid", folder.fd()); !cid.empty())
            volume += " cid " + cid;
    }
    return CardIdentity{root, volume};
}

bool LinuxSystem::sameFile(const std::string& a, const std::string& b) const {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool LinuxSystem::onSameVolume(const std::string& path, const std::string& root) const {
    struct stat file {};
    struct stat folder {};
    return ::stat(path.c_str(), &file) == 0 && ::stat(root.c_str(), &folder) == 0 &&
           file.st_dev == folder.st_dev;
}

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
    const std::uint64_t insertion =
        parseNumber<std::uint64_t>(readAttribute(m_sys + "/block/" + name + "/diskseq")).value_or(0);
    if (m_mounter->asked(name, insertion)) {
        m_mounter->poll();
        return;
    }
    if (!isRemovable(name))
        return;
    const Disk disk = readDisk(name);
    if (cardMount(disk, readMounts(), m_dev))
        return;
    std::vector<std::string> devices;
    for (const BlockDevice& d : disk.devices)
        devices.push_back(m_dev + "/" + d.name);
    m_mounter->request(name, insertion, devices);
}

std::unique_ptr<SystemPort> makeSystem() {
    return std::make_unique<LinuxSystem>();
}

} // namespace velk
