#include "LinuxCardIdentity.h"

#include "KernelFiles.h"
#include "VolumeSerial.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <span>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace velk {

namespace {

/// The start of the device that a mount names, when it can be read (root may; a desktop user
/// usually may not, but has udev's UUID and label instead).
std::vector<std::uint8_t> headerOf(const std::string& device) {
    const int fd = ::open(device.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::vector<std::uint8_t> header(volumeHeaderBytes);
    ssize_t n;
    do {
        n = ::pread(fd, header.data(), header.size(), 0);
    } while (n < 0 && errno == EINTR);
    ::close(fd);
    header.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return header;
}

/// The label that udev recorded for a block device: the name of its link in by-label, where
/// udev writes a blank and other bytes it leaves out as "\x20".
std::string udevLabelOf(const std::string& devRoot, dev_t device) {
    const std::string folder = devRoot + "/disk/by-label";
    for (const std::string& name : kernel::folderEntries(folder)) {
        struct stat st {};
        if (::stat((folder + "/" + name).c_str(), &st) != 0 || !S_ISBLK(st.st_mode) ||
            st.st_rdev != device)
            continue;
        std::string label;
        for (std::size_t i = 0; i < name.size(); ++i) {
            unsigned code = 0;
            if (name.compare(i, 2, "\\x") == 0 && i + 3 < name.size() &&
                std::sscanf(name.c_str() + i + 2, "%2x", &code) == 1) {
                label += static_cast<char>(code);
                i += 3;
            } else {
                label += name[i];
            }
        }
        return label;
    }
    return {};
}

/// The UUID that udev recorded for a block device, where udev runs.
std::string uuidOf(const std::string& devRoot, dev_t device) {
    const std::string folder = devRoot + "/disk/by-uuid";
    for (const std::string& name : kernel::folderEntries(folder)) {
        struct stat st {};
        if (::stat((folder + "/" + name).c_str(), &st) == 0 && S_ISBLK(st.st_mode) &&
            st.st_rdev == device)
            return name;
    }
    return {};
}

} // namespace

std::optional<CardIdentity> cardIdentityAt(const std::string& root, const MountEntry* mount,
                                           const std::string& devRoot,
                                           const std::string& diskFolder) {
    struct stat st {};
    struct statvfs vfs {};
    if (::stat(root.c_str(), &st) != 0 || ::statvfs(root.c_str(), &vfs) != 0)
        return std::nullopt;
    std::string volume = "dev " + std::to_string(major(st.st_dev)) + ":" +
                         std::to_string(minor(st.st_dev)) + " fsid " + std::to_string(vfs.f_fsid) +
                         " blocks " + std::to_string(vfs.f_blocks);
    if (const std::string uuid = uuidOf(devRoot, st.st_dev); !uuid.empty())
        volume += " uuid " + uuid;
    // A FUSE file system has a device number of its own; the device it reads is its source.
    std::string label;
    if (mount && mount->source.starts_with(devRoot + "/")) {
        const std::vector<std::uint8_t> header = headerOf(mount->source);
        if (const std::string serial = volumeSerial(header); !serial.empty())
            volume += " serial " + serial;
        label = volumeLabel(header);
    }
    if (label.empty())
        label = udevLabelOf(devRoot, st.st_dev);
    // A clone made with dd carries the same serial: the kernel numbers every medium it sees
    // in a reader (diskseq), and an SD card has its maker's serial in its CID.
    if (!diskFolder.empty()) {
        const kernel::Folder folder(diskFolder);
        if (const std::string seq = kernel::readAttribute("diskseq", folder.fd()); !seq.empty())
            volume += " diskseq " + seq;
        if (const std::string cid = kernel::readAttribute("device/cid", folder.fd()); !cid.empty())
            volume += " cid " + cid;
    }
    return CardIdentity{root, volume, label};
}

} // namespace velk
