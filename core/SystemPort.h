#pragma once

#include "FolderListing.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace velk {

/// Drive type codes as the Windows kernel gives them; only `removable` means a flash card.
namespace drive_type {
inline constexpr std::uint32_t unknown = 0;
inline constexpr std::uint32_t noRootDir = 1;
inline constexpr std::uint32_t removable = 2;
inline constexpr std::uint32_t fixed = 3;
inline constexpr std::uint32_t remote = 4;
inline constexpr std::uint32_t cdrom = 5;
inline constexpr std::uint32_t ramdisk = 6;
} // namespace drive_type

/// One entry of a drive list. `designation` is what the lists hold as the drive text and
/// what every query takes; `label` is what the operator sees.
struct DriveEntry {
    std::string designation;
    std::string label;
};

/// The space query's four counts, as the kernel reports them.
struct SpaceCounts {
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t bytesPerSector = 0;
    std::uint32_t freeClusters = 0;
    std::uint32_t totalClusters = 0;
};

/// Where a drive's root folder is, or why it has none.
struct RootFolder {
    enum class Status { ok, deviceUnavailable, failed };
    Status status = Status::failed;
    std::string path; ///< the root folder when status is ok
    std::string reason;
};

/// What tells a mounted card from another one mounted at the same place: on Linux the block
/// device number with the file system's UUID or id, on Windows the volume serial number.
/// Two identities are the same card only when every part is equal.
struct CardIdentity {
    std::string root;
    std::string volume;
    /// The volume's label, for the operator; may be empty.
    std::string label;

    bool operator==(const CardIdentity&) const = default;
};

/// What tells one file from every other, whatever path reaches it: the volume it lies on and
/// its number there. On Linux the device number and the inode; on Windows the volume's serial
/// number, its GUID name where the handle gives one, and the file index.
struct FileId {
    std::string volume;
    /// Tells apart two volumes of one serial number (two clones of a card); empty where the
    /// system gives none, and then not compared.
    std::string volumeName;
    std::uint64_t index = 0;

    [[nodiscard]] bool sameVolumeAs(const FileId& other) const {
        return volume == other.volume &&
               (volumeName.empty() || other.volumeName.empty() || volumeName == other.volumeName);
    }
    bool operator==(const FileId& other) const {
        return index == other.index && sameVolumeAs(other);
    }
};

/// A file as it was seen: which file, how long, and when it was last written (in the system's
/// own unit). A file replaced or rewritten since shows another stamp, also where the system
/// gives the new file the number the old one had.
struct EntryStamp {
    FileId id;
    std::uint64_t size = 0;
    std::int64_t modified = 0;

    bool operator==(const EntryStamp&) const = default;
};

/// What a name in a folder is.
enum class EntryKind { missing, file, folder, link, other };

/// Held by a programming run for as long as it may change a card: no other run of the
/// program on this machine, of any user, can take the same card until it is released.
class CardLock {
public:
    virtual ~CardLock() = default;
};

/// How a file is opened.
enum class OpenMode {
    read,             ///< an existing file, through the system's cache, which others may
                      ///< read, write or delete meanwhile
    readFromDevice,   ///< an existing file, its data read from the device, not from a cache
    createOrTruncate, ///< a plain file, emptied if it exists; a link of that name is refused
    createOrKeep,     ///< a plain file, left as it is if it exists; a link is refused
};

/// An open file. Every call gives the system's own error; a read or a write may move fewer
/// bytes than asked, and may fail with std::errc::interrupted, after which it can be repeated.
class OpenFile {
public:
    virtual ~OpenFile() = default;

    /// Up to `size` bytes into `buffer`; 0 at the end of the file.
    [[nodiscard]] virtual std::size_t read(char* buffer, std::size_t size, std::error_code& ec) = 0;
    /// Up to `size` bytes from `buffer`; how many the system took.
    [[nodiscard]] virtual std::size_t write(const char* buffer, std::size_t size,
                                            std::error_code& ec) = 0;
    /// Forces what was written through this file to the device. Called on the descriptor
    /// that wrote, as a later opener may not hear of a write that failed on its way.
    [[nodiscard]] virtual std::error_code flush() = 0;
    /// Closes the file; a delayed write error shows here. Called at most once.
    [[nodiscard]] virtual std::error_code close() = 0;
    /// The file that is open, or nullopt when the system cannot tell.
    [[nodiscard]] virtual std::optional<EntryStamp> stamp() const = 0;
};

/// The operating system's answers about drives, and files on the card.
class SystemPort {
public:
    virtual ~SystemPort() = default;

    /// Every drive the lists offer, in display order.
    [[nodiscard]] virtual std::vector<DriveEntry> drives() const = 0;
    /// Designation of the drive that holds the process's current folder.
    [[nodiscard]] virtual std::string currentDrive() const = 0;
    /// Drive type code (see drive_type) of a designation.
    [[nodiscard]] virtual std::uint32_t driveType(const std::string& designation) const = 0;
    /// The four counts, or nullopt when no medium answers.
    [[nodiscard]] virtual std::optional<SpaceCounts>
    diskSpace(const std::string& designation) const = 0;
    [[nodiscard]] virtual RootFolder rootFolder(const std::string& designation) const = 0;
    /// The root folder of a source drive once the drive has shown that it can be listed: a
    /// root that is gone or cannot be read is `failed`. The drive is asked off the caller's
    /// thread: nullopt while it has not answered (a network drive whose server is gone);
    /// asking again later gives the answer once it came.
    [[nodiscard]] virtual std::optional<RootFolder>
    sourceRoot(const std::string& designation) const = 0;

    /// The system's reason for a failure, in the operator's language and as UTF-8: every
    /// message that core builds from an error code says it so.
    [[nodiscard]] virtual std::string describe(const std::error_code& ec) const {
        return ec.message();
    }

    /// Opens `path` (UTF-8). Files created have the system's default permissions and no
    /// attributes: nothing is taken from any source file. Null with `ec` set on failure.
    [[nodiscard]] virtual std::unique_ptr<OpenFile> openFile(const std::string& path, OpenMode mode,
                                                             std::error_code& ec) const = 0;
    /// The identity of the file system whose root folder is `root`, or nullopt when it
    /// cannot be told.
    [[nodiscard]] virtual std::optional<CardIdentity>
    cardIdentity(const std::string& root) const = 0;
    /// The file `path` reaches (links followed), or nullopt when it cannot be examined.
    [[nodiscard]] virtual std::optional<EntryStamp> fileStamp(const std::string& path) const = 0;
    /// The entry `path` itself (a link is not followed), or nullopt when it cannot be examined.
    [[nodiscard]] virtual std::optional<EntryStamp> entryStamp(const std::string& path) const = 0;
    /// Which file `path` reaches (links followed), or nullopt when it cannot be examined.
    [[nodiscard]] std::optional<FileId> fileId(const std::string& path) const {
        const auto stamp = fileStamp(path);
        return stamp ? std::optional<FileId>(stamp->id) : std::nullopt;
    }

    /// True when both paths (links followed) reach one and the same file. False when either
    /// cannot be examined.
    [[nodiscard]] bool sameFile(const std::string& a, const std::string& b) const {
        const auto first = fileId(a);
        return first && first == fileId(b);
    }
    /// True when the file at `path` (links followed) lies on the same volume as the folder
    /// `root`, whatever path reaches it. False when either cannot be examined.
    [[nodiscard]] bool onSameVolume(const std::string& path, const std::string& root) const {
        const auto file = fileId(path);
        const auto folder = fileId(root);
        return file && folder && file->sameVolumeAs(*folder);
    }

    /// The entries of `folder`. Every file that core reads, writes, measures or deletes is
    /// reached through this port, which on Windows takes names past MAX_PATH characters.
    [[nodiscard]] virtual FolderListing listFolder(const std::string& folder) const = 0;
    /// What `path` is: with `followLink` what a link there leads to, otherwise the entry itself.
    /// `missing`, with `ec` clear, when nothing has that name; `ec` set when it cannot be told.
    [[nodiscard]] virtual EntryKind entryKind(const std::string& path, bool followLink,
                                              std::error_code& ec) const = 0;
    /// The path of the file `path` reaches, every link on the way resolved; nullopt when it
    /// cannot be examined.
    [[nodiscard]] virtual std::optional<std::string> finalPath(const std::string& path) const = 0;
    /// Deletes the file or link `path` (never what a link leads to), read-only or not. One that
    /// another program holds is tried again as openSource tries, `betweenTries` between tries.
    [[nodiscard]] virtual std::error_code
    removeFile(const std::string& path, const std::function<void()>& betweenTries) const = 0;
    /// Deletes the folder `path` when nothing is in it.
    [[nodiscard]] virtual std::error_code removeFolder(const std::string& path) const = 0;
    /// Gives the entry `from` the name `to`, which the caller has seen free. Where the system
    /// can tell, a `to` that has appeared since is not replaced.
    [[nodiscard]] virtual std::error_code moveEntry(const std::string& from,
                                                    const std::string& to) const = 0;
    /// Makes the folder `path`, whose parent exists. True when made; false, with `ec` clear,
    /// when a folder of that name was there.
    [[nodiscard]] virtual bool makeFolder(const std::string& path, std::error_code& ec) const = 0;

    /// Forces a folder's entries to the device.
    [[nodiscard]] virtual std::error_code flushFolder(const std::string& path) const = 0;
    /// Forces a file that another descriptor wrote or moved (its data and its record) to the
    /// device.
    [[nodiscard]] virtual std::error_code flushFile(const std::string& path) const = 0;

    /// Takes the card whose root folder is `root` for one programming run. Null when it cannot:
    /// `ec` is std::errc::device_or_resource_busy while another run holds the card.
    [[nodiscard]] virtual std::unique_ptr<CardLock> lockCard(const std::string& root,
                                                             std::error_code& ec) const = 0;

    /// True when `folder` lies on a removable disk (a card or a stick, in any reader).
    [[nodiscard]] virtual bool onRemovableMedia(const std::string& folder) const = 0;
    /// The folder where the program keeps its own files for this user; it may not exist yet.
    [[nodiscard]] virtual std::string dataFolder() const = 0;

    /// Asks the system to mount the card in the reader `designation` when it holds a file
    /// system that nothing has mounted, once for each insertion. Returns at once: a mount
    /// shows in later answers, a refusal in the reader's drive list label. Systems that
    /// mount every card themselves do nothing.
    virtual void requestMount(const std::string& designation) const { (void)designation; }

    /// Makes the card in the reader `designation` safe to take out, and waits until it is:
    /// forces what the system still holds for the card to it, unmounts it and, where the
    /// system can, powers the reader's card off. Empty when done; otherwise why not, in the
    /// operator's words. A card that a program has a file or folder open on stays as it is,
    /// and the reason names the programs where the system tells them.
    [[nodiscard]] virtual std::string ejectCard(const std::string& designation) const = 0;
    /// Mounts the card in the reader `designation` when nothing has, as requestMount asks,
    /// and waits for it a few seconds at most. Empty when the card is mounted (also when it
    /// already was); otherwise why not, in the operator's words.
    [[nodiscard]] virtual std::string mountCard(const std::string& designation) const = 0;

    /// Opens a source file as openFile does with OpenMode::read: the one open of a source,
    /// for its check before the wipe and for its copy alike. A file that another program holds
    /// without sharing it (a scan, a preview) is tried again for about two seconds while
    /// `betweenTries` runs between two tries (a run lets the window answer there) and may
    /// throw to give up; without it, once, as a wait would hold the window. Systems where no
    /// program holds a file so open it once.
    [[nodiscard]] virtual std::unique_ptr<OpenFile>
    openSource(const std::string& path, std::error_code& ec,
               const std::function<void()>& betweenTries) const {
        (void)betweenTries;
        return openFile(path, OpenMode::read, ec);
    }
    /// The reason for a failure on the file `path`, as describe gives it; for a file that
    /// another program holds, that program by name where the system can tell.
    [[nodiscard]] virtual std::string describeFileError(const std::error_code& ec,
                                                        const std::string& path) const {
        (void)path;
        return describe(ec);
    }
};

} // namespace velk
