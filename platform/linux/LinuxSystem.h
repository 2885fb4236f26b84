#pragma once

#include "MountTable.h"
#include "core/SystemPort.h"
#include "platform/DriveAnswers.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velk {

class MountWatch;
class UDisks2Mounter;

/// Drives on Linux, where there are no drive letters. A removable disk (a card reader, a USB
/// stick, an SD or MMC card slot) is one drive named by its device path ("/dev/sdb"), whether
/// or not a card is in it; any other mounted file system is a fixed drive named by its mount
/// point ("/", "/home"). A removable disk that the running system stands on (a board booted
/// from its card) is listed with the reason and answers as a fixed drive: it is never a card. Every
/// call reads the proc and sys trees afresh, so a card that comes or goes shows at the next call.
class LinuxSystem : public SystemPort {
public:
    /// The roots are where the proc, sys and device trees are; tests point them elsewhere.
    explicit LinuxSystem(std::string procRoot = "/proc", std::string sysRoot = "/sys",
                         std::string devRoot = "/dev");

    [[nodiscard]] std::vector<DriveEntry> drives() const override;
    [[nodiscard]] std::string currentDrive() const override;
    [[nodiscard]] std::uint32_t driveType(const std::string& designation) const override;
    [[nodiscard]] std::optional<SpaceCounts>
    diskSpace(const std::string& designation) const override;
    [[nodiscard]] RootFolder rootFolder(const std::string& designation) const override;
    /// The root is found in the mount table here; only listing it is asked off this thread.
    [[nodiscard]] std::optional<RootFolder>
    sourceRoot(const std::string& designation) const override;

    [[nodiscard]] std::unique_ptr<OpenFile> openFile(const std::string& path, OpenMode mode,
                                                     std::error_code& ec) const override;
    [[nodiscard]] std::optional<CardIdentity> cardIdentity(const std::string& root) const override;
    [[nodiscard]] std::optional<EntryStamp> fileStamp(const std::string& path) const override;
    [[nodiscard]] std::optional<EntryStamp> entryStamp(const std::string& path) const override;

    [[nodiscard]] FolderListing listFolder(const std::string& folder) const override;
    [[nodiscard]] EntryKind entryKind(const std::string& path, bool followLink,
                                      std::error_code& ec) const override;
    [[nodiscard]] std::optional<std::string> finalPath(const std::string& path) const override;
    [[nodiscard]] std::error_code
    removeFile(const std::string& path, const std::function<void()>& betweenTries) const override;
    [[nodiscard]] std::error_code removeFolder(const std::string& path) const override;
    [[nodiscard]] std::error_code moveEntry(const std::string& from,
                                            const std::string& to) const override;
    [[nodiscard]] bool makeFolder(const std::string& path, std::error_code& ec) const override;

    [[nodiscard]] std::error_code flushFolder(const std::string& path) const override;
    [[nodiscard]] std::error_code flushFile(const std::string& path) const override;
    /// An flock on a file in /run/lock named after the card's reader.
    [[nodiscard]] std::unique_ptr<CardLock> lockCard(const std::string& root,
                                                     std::error_code& ec) const override;
    /// The file system that holds `folder` is on a removable disk.
    [[nodiscard]] bool onRemovableMedia(const std::string& folder) const override;
    /// $XDG_DATA_HOME/velk-assembler, or ~/.local/share/velk-assembler.
    [[nodiscard]] std::string dataFolder() const override;

    /// Asks UDisks2 to mount the file system of a card that nothing has mounted, once for
    /// each insertion; until it is mounted the reader's label says why it is not.
    void requestMount(const std::string& designation) const override;
    /// Through UDisks2 (Filesystem.Unmount, then Drive.PowerOff where the drive can), and
    /// directly (umount2, never lazily) where UDisks2 is not running or knows no such file
    /// system. A card that the running system stands on is never ejected.
    [[nodiscard]] std::string ejectCard(const std::string& designation) const override;
    /// Through UDisks2 as requestMount does, or where it is not running directly, below
    /// ownMountFolder, with each file system the kernel has for block devices in turn.
    [[nodiscard]] std::string mountCard(const std::string& designation) const override;

    /// Where a card that this program mounts itself goes: this, then the disk's name.
    static constexpr const char* ownMountFolder = "/media/velk-card-";

    /// The four counts for a file system of `blocks` fragments of `fragmentBytes`, of which
    /// `availableBlocks` are free to an ordinary user: 512-byte sectors where the fragment is
    /// a multiple of 512, block counts clamped to 32 bits.
    [[nodiscard]] static SpaceCounts spaceCounts(std::uint64_t fragmentBytes, std::uint64_t blocks,
                                                 std::uint64_t availableBlocks);

    /// A block device: a whole disk or one of its partitions.
    struct BlockDevice {
        std::string name;
        DeviceNumber number;
        unsigned partition = 0; ///< 0 for the whole disk
    };
    /// A removable disk with what is known of its medium.
    struct Disk {
        std::string name;
        std::uint64_t sectors = 0;        ///< 0 when no medium is in it
        std::vector<BlockDevice> devices; ///< the disk itself first, then its partitions
    };

private:
    [[nodiscard]] std::shared_ptr<const MountTable> readMounts() const;
    [[nodiscard]] bool isRemovable(const std::string& diskName) const;
    [[nodiscard]] bool onUsbBus(const std::string& diskName) const;
    /// The name of the removable disk that `designation` names.
    [[nodiscard]] std::optional<std::string> removableDisk(const std::string& designation) const;
    [[nodiscard]] std::uint64_t mediumSectors(const std::string& diskName) const;
    [[nodiscard]] Disk readDisk(const std::string& diskName) const;
    [[nodiscard]] std::vector<Disk> removableDisks() const;
    /// The whole disk that holds a mounted file system, when it is on one.
    [[nodiscard]] std::optional<std::string> diskOf(const MountEntry& mount) const;
    [[nodiscard]] bool onRemovableDisk(const MountEntry& mount) const;
    /// The fixed drive mounted at `designation`, or null.
    [[nodiscard]] const MountEntry* fixedMount(const MountTable& mounts,
                                               const std::string& designation) const;
    [[nodiscard]] std::string designationOf(const std::string& diskName) const;
    /// Tells one insertion of a card in the disk from the next, where the kernel counts them.
    [[nodiscard]] std::uint64_t insertionOf(const std::string& diskName) const;
    /// The card's devices that are mounted, as "/dev/sdb1".
    [[nodiscard]] std::vector<std::string> mountedDevices(const Disk& disk,
                                                          const MountTable& mounts) const;
    [[nodiscard]] std::string mountDirectly(const Disk& disk) const;

    std::string m_proc;
    std::string m_sys;
    std::string m_dev;
    /// Mounting is a service behind the answers, so the const queries may use it; copies
    /// of this system share it.
    std::shared_ptr<UDisks2Mounter> m_mounter;
    std::shared_ptr<MountWatch> m_mounts;
    DriveAnswers m_sourceRoots{sourcePatience};
};

} // namespace velk
