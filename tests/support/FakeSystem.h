#pragma once

#include "core/SystemPort.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace velk::test {

/// A drive double: each designation answers what the test set for it.
/// Files are the platform's own, read and written for real, with the faults a test sets.
class FakeSystem : public SystemPort {
public:
    FakeSystem();
    ~FakeSystem() override;

    struct Drive {
        std::uint32_t type = drive_type::fixed;
        std::optional<SpaceCounts> space;
        RootFolder root;
    };

    /// A removable drive with an empty card of sectorsPerCluster × bytesPerSector × clusters bytes
    /// whose root folder is `root`.
    void addCard(const std::string& designation, const std::string& root,
                 SpaceCounts counts = {4, 512, 31000, 31000});
    /// A removable reader with no card in it.
    void addEmptyReader(const std::string& designation);
    void addFixed(const std::string& designation, const std::string& root);

    std::vector<DriveEntry> drives() const override;
    std::string currentDrive() const override { return current; }
    std::uint32_t driveType(const std::string& designation) const override;
    std::optional<SpaceCounts> diskSpace(const std::string& designation) const override;
    RootFolder rootFolder(const std::string& designation) const override;
    /// The root folder, checked on the caller's thread, or nullopt for a drive in `notAnswering`.
    std::optional<RootFolder> sourceRoot(const std::string& designation) const override;
    std::unique_ptr<OpenFile> openFile(const std::string& path, OpenMode mode,
                                       std::error_code& ec) const override;
    std::optional<CardIdentity> cardIdentity(const std::string& root) const override;
    /// The system's own answer, but a file inside a fake card's root lies on that card's
    /// volume, and any other on the volume "elsewhere".
    std::optional<EntryStamp> fileStamp(const std::string& path) const override;
    std::optional<EntryStamp> entryStamp(const std::string& path) const override;
    // Entries are the system's own.
    FolderListing listFolder(const std::string& folder) const override {
        return m_real->listFolder(folder);
    }
    EntryKind entryKind(const std::string& path, bool followLink,
                        std::error_code& ec) const override {
        return m_real->entryKind(path, followLink, ec);
    }
    std::optional<std::string> finalPath(const std::string& path) const override {
        return m_real->finalPath(path);
    }
    std::error_code removeFile(const std::string& path,
                               const std::function<void()>& betweenTries) const override {
        return m_real->removeFile(path, betweenTries);
    }
    std::error_code removeFolder(const std::string& path) const override {
        return m_real->removeFolder(path);
    }
    std::error_code moveEntry(const std::string& from, const std::string& to) const override {
        return m_real->moveEntry(from, to);
    }
    bool makeFolder(const std::string& path, std::error_code& ec) const override {
        return m_real->makeFolder(path, ec);
    }
    std::error_code flushFolder(const std::string& path) const override;
    std::error_code flushFile(const std::string& path) const override;
    /// The system's own lock on the root folder; `busyCards` are held by another run.
    std::unique_ptr<CardLock> lockCard(const std::string& root, std::error_code& ec) const override;
    /// Inside the root of a removable drive.
    bool onRemovableMedia(const std::string& folder) const override;
    std::string dataFolder() const override { return data; }
    /// Records the reader. Refused with ejectRefusals' reason where one is set; otherwise its
    /// card stays in but answers no more, as an unmounted one does, until mountCard.
    std::string ejectCard(const std::string& designation) const override;
    /// A card is mounted again; a reader without one answers readerEmpty.
    std::string mountCard(const std::string& designation) const override;

    /// The fake volume of a path: the drive root that holds it, or "elsewhere".
    [[nodiscard]] std::string volumeOf(const std::string& path) const;

    std::map<std::string, Drive> table;
    std::vector<std::string> order;
    /// What the drive lists show, by designation; a designation not listed shows itself.
    std::map<std::string, std::string> labels;
    std::string current;
    /// Drives that have not answered yet when asked for their source root.
    std::set<std::string> notAnswering;
    /// Faults that files opened for writing show, shared by all of them.
    struct WriteFaults {
        std::size_t maxPerWrite = SIZE_MAX;          ///< larger writes are cut short
        int interruptions = 0;                       ///< this many writes fail with EINTR first
        std::optional<std::uint64_t> bytesUntilFull; ///< then ENOSPC, counted over all files
        std::chrono::milliseconds delayPerWrite{0};  ///< each write takes this long: a slow card
    };
    mutable WriteFaults writeFaults;
    /// Byte offsets that a read from the device returns inverted, by file name.
    std::map<std::string, std::uint64_t> corruptOnDevice;
    /// Volume identity by root; a root not listed reads "volume of <root>".
    std::map<std::string, std::string> volumes;
    /// Volume labels by root; none where not listed.
    std::map<std::string, std::string> volumeLabels;
    mutable int deviceReads = 0;
    std::error_code flushError;       ///< returned by every flush, of files and folders, when set
    std::error_code folderFlushError; ///< returned by every flush of a folder, when set
    /// Volume identities by root that cannot be told (the identity query answers nothing).
    std::vector<std::string> unidentified;
    /// Paths flushed, in order: a file by its path, a folder by its path and a separator.
    mutable std::vector<std::string> flushed;
    mutable int typeQueries = 0;
    std::string drivesFault; ///< when set, drives() throws std::runtime_error with it
    mutable int spaceQueries = 0;
    mutable int rootQueries = 0;
    /// Roots that another run holds.
    std::vector<std::string> busyCards;
    /// What dataFolder() answers.
    std::string data;
    /// Why ejecting the card of a reader is refused, by designation.
    std::map<std::string, std::string> ejectRefusals;
    /// Readers asked to eject, in order.
    mutable std::vector<std::string> ejectsAsked;
    /// Readers whose card was ejected and not mounted since.
    mutable std::set<std::string> ejected;

private:
    [[nodiscard]] const Drive* driveHolding(const std::string& path) const;

    std::unique_ptr<SystemPort> m_real;
};

} // namespace velk::test
