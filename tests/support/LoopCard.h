#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include <sys/types.h>

namespace velk::test {

/// A real removable drive for tests: a loop device that the kernel reports as removable
/// (a file reading "1" is bound over its sysfs attribute) with, as a card, a freshly made
/// file system image mounted on a folder. Only for root, and only inside a private mount
/// namespace (see enterPrivateMountNamespace), so no mount is seen outside the test and all
/// of them vanish with the process.
///
/// A FAT card is FAT16 on the whole device. Where the kernel has no vfat driver it is
/// mounted by fusefat, which the platform code sees as the same removable device; its
/// quirks: no fchmod (ENOSYS), EPERM instead of ENOSPC on a full card, short names
/// stored as "~1", dates off. Its files are read back with mtools, independent of fusefat.
class LoopCard {
public:
    struct Options {
        std::uint64_t imageBytes = 8u << 20;
        std::string fsType = "ext4"; ///< "ext4", "ext2" or "vfat" (FAT16)
        /// False gives a reader with no card: the device is held, but with an empty image.
        bool withCard = true;
        /// Where the card is mounted; empty for a fresh temporary folder.
        std::string mountPoint;
        /// Above 0: the device writes no faster than this, as a slow card does.
        double writeBytesPerSecond = 0;
        /// Every write the device makes is logged, from restartJournal() on (see replay).
        bool journal = false;
    };

    /// Why this machine cannot make cards of `fsType` (not root, no loop devices, no mkfs
    /// for it, no way to mount or read back FAT), or empty when it can.
    [[nodiscard]] static std::string unavailableReason(const std::string& fsType = "ext4");
    /// Moves the process into a mount namespace of its own whose mounts propagate nowhere, once
    /// (see whyNoPrivateMounts). Empty on success, else the reason. The process must still be
    /// single-threaded.
    [[nodiscard]] static std::string enterPrivateMountNamespace();

    /// Thrown when the kernel cannot mount the file system asked for.
    struct Unsupported : std::runtime_error {
        using std::runtime_error::runtime_error;
    };

    /// Why a test cannot have cards of `fsType` (unavailableReason, or no private mount
    /// namespace, which the first call enters for the whole process), or empty when it can.
    [[nodiscard]] static std::string prepare(const std::string& fsType);
    /// A card, or null with `whyNot` set when the kernel cannot mount its file system.
    [[nodiscard]] static std::unique_ptr<LoopCard> make(const Options& options,
                                                        std::string& whyNot);

    /// Throws std::runtime_error with the failing step and the system's message, Unsupported
    /// when neither the kernel nor a FUSE driver can mount the file system.
    explicit LoopCard(Options options);
    LoopCard() : LoopCard(Options{}) {}
    ~LoopCard();
    LoopCard(const LoopCard&) = delete;
    LoopCard& operator=(const LoopCard&) = delete;

    /// "/dev/loop3"
    [[nodiscard]] const std::string& device() const { return m_device; }
    /// "loop3", the name under /sys/block
    [[nodiscard]] const std::string& name() const { return m_name; }
    /// Where the card is mounted; empty once ejected and for a reader made empty.
    [[nodiscard]] const std::string& mountPoint() const { return m_mountPoint; }
    [[nodiscard]] const std::string& fsType() const { return m_options.fsType; }
    /// True when a FUSE driver, not the kernel, mounts this card.
    [[nodiscard]] bool byFuse() const { return m_byFuse; }
    /// The error a write to this card gives once it is full: ENOSPC, but EPERM from fusefat.
    [[nodiscard]] int fullCardError() const;

    /// Takes the card out, also while files on it are open: unmounts it and empties the
    /// reader's medium. The reader stays, empty.
    void eject();
    /// Unmounts the card and mounts it again at the same place, so that what is read next
    /// comes from the device.
    void remount();
    /// Every plain file of the card's root folder by name, read with the card unmounted
    /// (FAT by mtools, by long name; ext by a fresh mount). The card is mounted again after.
    [[nodiscard]] std::map<std::string, std::string> readBack();
    /// Exchanges the media of two readers of one size: both cards are unmounted, each
    /// device's content is replaced by the other's, and each is mounted again at its own
    /// mount point, which now shows the other card.
    void swapCardWith(LoopCard& other);
    /// Overwrites bytes of the device behind the file system's back, forced to the image.
    void writeToDevice(std::uint64_t offset, const std::string& bytes) const;
    /// Offset on the device of the first place that holds `bytes`, searched at 512-byte
    /// steps; throws when none does.
    [[nodiscard]] std::uint64_t findOnDevice(const std::string& bytes) const;

    /// A card made with `journal`: from now on every write of the device is logged. The image
    /// as it is now, and the writes logged since, make what the card held at any later moment.
    void restartJournal() const;
    /// How many writes were logged since restartJournal().
    [[nodiscard]] std::size_t journalWrites() const;
    /// Writes to `path` the image the card held after the first `writes` logged writes, as a
    /// card pulled (or a power cut) at that moment leaves it.
    void replay(std::size_t writes, const std::string& path) const;
    /// Copies what the device holds now to `path` and checks that file system without
    /// changing anything (fsck.fat -n, e2fsck -fn): empty when it is clean (for ext, its journal
    /// too), else the report.
    [[nodiscard]] std::string checkCopy(const std::string& path) const;
    /// Repairs the image at `path` as the operator's system would on the next insertion
    /// (fsck), then reads every file in it by its path from the root ("VELKKEEP/rec.mp3").
    [[nodiscard]] std::map<std::string, std::string> repairAndRead(const std::string& path) const;

private:
    [[nodiscard]] std::string image() const { return m_work + "/card.img"; }
    void mount(const std::string& at);
    void unmount();
    void cleanUp() noexcept;

    Options m_options;
    void serveImage();

    std::string m_work;   ///< temporary folder of the image and the attribute file
    std::string m_served; ///< where the FUSE-served image is mounted, when it is
    pid_t m_servePid = 0; ///< the process serving it
    std::string m_mountPoint;
    std::string m_device;
    std::string m_name;
    std::string m_removableAttr; ///< the sysfs file bound over, once bound
    int m_loopFd = -1;
    bool m_mounted = false;
    bool m_byFuse = false;
    pid_t m_fusePid = 0; ///< the FUSE driver serving the mount, kept in the foreground
};

} // namespace velk::test
