#pragma once

#include "DriveLabels.h"
#include "core/SystemPort.h"
#include "platform/DriveAnswers.h"

#include <memory>

namespace velk {

/// Drives on Windows: each drive letter is one drive, named "e:" and shown with its volume
/// label ("c: [SYSTEM]"). Paths may be longer than MAX_PATH.
class WindowsSystem : public SystemPort {
public:
    WindowsSystem();

    [[nodiscard]] std::vector<DriveEntry> drives() const override;
    [[nodiscard]] std::string currentDrive() const override;
    /// The type of "e:" is asked of its root, "e:\". A removable drive answers as fixed when
    /// the system stands on it (the system drive, the Windows folder, the program) or when
    /// its letter is no volume's root (a folder given a letter with subst): no card, either.
    [[nodiscard]] std::uint32_t driveType(const std::string& designation) const override;
    /// The space of "e:" is asked of the designation itself, without a backslash. A removable
    /// drive found too large for the player is listed with that reason until it answers again.
    [[nodiscard]] std::optional<SpaceCounts>
    diskSpace(const std::string& designation) const override;
    [[nodiscard]] RootFolder rootFolder(const std::string& designation) const override;
    /// Every question to the drive, its space included, is asked off this thread.
    [[nodiscard]] std::optional<RootFolder>
    sourceRoot(const std::string& designation) const override;

    /// In the system's own texts (see describeError).
    [[nodiscard]] std::string describe(const std::error_code& ec) const override;
    [[nodiscard]] std::unique_ptr<OpenFile> openFile(const std::string& path, OpenMode mode,
                                                     std::error_code& ec) const override;
    /// The volume's serial number, file system, size and GUID name where it has one.
    [[nodiscard]] std::optional<CardIdentity> cardIdentity(const std::string& root) const override;
    /// The volume's serial number and GUID name, and the file index.
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
    /// A named mutex keyed by the volume's GUID name.
    [[nodiscard]] std::unique_ptr<CardLock> lockCard(const std::string& root,
                                                     std::error_code& ec) const override;
    /// The volume that holds `folder` is a removable drive's.
    [[nodiscard]] bool onRemovableMedia(const std::string& folder) const override;
    /// %LOCALAPPDATA%\velk-assembler.
    [[nodiscard]] std::string dataFolder() const override;
    /// Locks the volume (refused while a program has a file on it open), dismounts it and
    /// tells the reader to let go of the card.
    [[nodiscard]] std::string ejectCard(const std::string& designation) const override;
    /// Windows mounts every card itself; a card that the reader was told to let go of is
    /// loaded again, and its volume awaited.
    [[nodiscard]] std::string mountCard(const std::string& designation) const override;
    /// Retried while another program holds the file (see retryWhileShared).
    [[nodiscard]] std::unique_ptr<OpenFile>
    openSource(const std::string& path, std::error_code& ec,
               const std::function<void()>& betweenTries) const override;
    /// Names the programs that hold the file where the Restart Manager tells them.
    [[nodiscard]] std::string describeFileError(const std::error_code& ec,
                                                const std::string& path) const override;

private:
    struct LargeCards;

    DriveLabels m_labels;
    std::shared_ptr<LargeCards> m_largeCards;
    DriveAnswers m_sourceRoots{sourcePatience};
};

} // namespace velk
