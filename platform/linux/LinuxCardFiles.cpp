#include "LinuxSystem.h"

#include "KernelFiles.h"
#include "LinuxCardIdentity.h"
#include "platform/Folders.h"
#include "platform/posix/PosixCardFile.h"
#include "platform/posix/PosixCardLock.h"
#include "platform/posix/PosixEntries.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace velk {

using namespace kernel;

std::unique_ptr<OpenFile> LinuxSystem::openFile(const std::string& path, OpenMode mode,
                                                std::error_code& ec) const {
    return openPosixFile(path, mode, ec);
}

FolderListing LinuxSystem::listFolder(const std::string& folder) const {
    return velk::listFolder(folder);
}

EntryKind LinuxSystem::entryKind(const std::string& path, bool followLink,
                                 std::error_code& ec) const {
    return posixEntryKind(path, followLink, ec);
}

std::optional<std::string> LinuxSystem::finalPath(const std::string& path) const {
    return posixFinalPath(path);
}

// No program holds a file here so that it cannot be deleted.
std::error_code LinuxSystem::removeFile(const std::string& path,
                                        const std::function<void()>& /*betweenTries*/) const {
    return posixRemoveFile(path);
}

std::error_code LinuxSystem::removeFolder(const std::string& path) const {
    return posixRemoveFolder(path);
}

std::error_code LinuxSystem::moveEntry(const std::string& from, const std::string& to) const {
    return posixMoveEntry(from, to);
}

bool LinuxSystem::makeFolder(const std::string& path, std::error_code& ec) const {
    return posixMakeFolder(path, ec);
}

std::error_code LinuxSystem::flushFolder(const std::string& path) const {
    return syncFolder(path);
}

std::error_code LinuxSystem::flushFile(const std::string& path) const {
    return syncFile(path);
}

std::optional<EntryStamp> LinuxSystem::fileStamp(const std::string& path) const {
    return posixFileStamp(path);
}

std::optional<EntryStamp> LinuxSystem::entryStamp(const std::string& path) const {
    return posixEntryStamp(path);
}

// Keyed by the reader's disk, which every mount of its card shares, FUSE mounts included;
// by the file system's device where the root is on no disk that sysfs knows.
std::unique_ptr<CardLock> LinuxSystem::lockCard(const std::string& root,
                                                std::error_code& ec) const {
    const auto table = readMounts();
    const MountEntry* m = table->at(root);
    const auto disk = m ? diskOf(*m) : std::nullopt;
    std::string key = disk ? readAttribute(m_sys + "/block/" + *disk + "/dev") : std::string();
    if (key.empty()) {
        struct stat st {};
        if (::stat(root.c_str(), &st) != 0) {
            ec = lastError();
            return nullptr;
        }
        key = std::to_string(major(st.st_dev)) + ":" + std::to_string(minor(st.st_dev));
    }
    std::replace(key.begin(), key.end(), ':', '-');
    return lockPosixCard(isDirectory("/run/lock") ? "/run/lock" : "/tmp", key, ec);
}

bool LinuxSystem::onRemovableMedia(const std::string& folder) const {
    char resolved[PATH_MAX];
    if (!::realpath(folder.c_str(), resolved))
        return false;
    const auto table = readMounts();
    const MountEntry* inner = nullptr;
    for (const MountEntry& m : table->entries())
        if (!m.hidden && MountTable::contains(m.mountPoint, resolved) &&
            (!inner || m.mountPoint.size() > inner->mountPoint.size()))
            inner = &m;
    return inner && onRemovableDisk(*inner);
}

std::string LinuxSystem::dataFolder() const {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/')
        return std::string(data) + "/velk-assembler";
    const char* home = std::getenv("HOME");
    return std::string(home && home[0] == '/' ? home : "") + "/.local/share/velk-assembler";
}

std::optional<CardIdentity> LinuxSystem::cardIdentity(const std::string& root) const {
    const auto table = readMounts();
    const MountTable& mounts = *table;
    const MountEntry* m = mounts.at(root);
    const auto disk = m ? diskOf(*m) : std::nullopt;
    return cardIdentityAt(root, m, m_dev, disk ? m_sys + "/block/" + *disk : std::string());
}

} // namespace velk
