#include "FakeSystem.h"

#include "core/Paths.h"
#include "core/PlatformTexts.h"
#include "platform/Folders.h"

#include "platform/System.h"
#include <algorithm>
#include <filesystem>

#include <memory>
#include <stdexcept>
#include <thread>
#include <utility>

namespace velk::test {

void FakeSystem::addCard(const std::string& designation, const std::string& root,
                         SpaceCounts counts) {
    table[designation] = {drive_type::removable, counts, {RootFolder::Status::ok, root, {}}};
    order.push_back(designation);
}

void FakeSystem::addEmptyReader(const std::string& designation) {
    table[designation] = {drive_type::removable,
                          std::nullopt,
                          {RootFolder::Status::deviceUnavailable, {}, "no medium"}};
    order.push_back(designation);
}

void FakeSystem::addFixed(const std::string& designation, const std::string& root) {
    table[designation] = {
        drive_type::fixed, SpaceCounts{8, 512, 0, 1000000}, {RootFolder::Status::ok, root, {}}};
    order.push_back(designation);
}

std::vector<DriveEntry> FakeSystem::drives() const {
    if (!drivesFault.empty())
        throw std::runtime_error(drivesFault);
    std::vector<DriveEntry> out;
    for (const auto& d : order)
        out.push_back({d, labels.contains(d) ? labels.at(d) : d});
    return out;
}

std::uint32_t FakeSystem::driveType(const std::string& designation) const {
    ++typeQueries;
    auto it = table.find(designation);
    return it == table.end() ? drive_type::noRootDir : it->second.type;
}

std::optional<SpaceCounts> FakeSystem::diskSpace(const std::string& designation) const {
    ++spaceQueries;
    auto it = table.find(designation);
    return it == table.end() || ejected.contains(designation) ? std::nullopt : it->second.space;
}

RootFolder FakeSystem::rootFolder(const std::string& designation) const {
    ++rootQueries;
    auto it = table.find(designation);
    if (it == table.end())
        return {RootFolder::Status::failed, {}, "no such drive"};
    if (ejected.contains(designation))
        return {RootFolder::Status::deviceUnavailable, {}, text::cardNotMounted};
    return it->second.root;
}

std::optional<RootFolder> FakeSystem::sourceRoot(const std::string& designation) const {
    if (notAnswering.contains(designation))
        return std::nullopt;
    return listableRoot(rootFolder(designation));
}

std::string FakeSystem::ejectCard(const std::string& designation) const {
    ejectsAsked.push_back(designation);
    if (const auto refusal = ejectRefusals.find(designation); refusal != ejectRefusals.end())
        return refusal->second;
    ejected.insert(designation);
    return {};
}

std::string FakeSystem::mountCard(const std::string& designation) const {
    ejected.erase(designation);
    const auto it = table.find(designation);
    return it != table.end() && it->second.space ? std::string() : text::readerEmpty;
}

std::error_code FakeSystem::flushFolder(const std::string& path) const {
    flushed.push_back(path + "/");
    if (folderFlushError)
        return folderFlushError;
    return flushError ? flushError : m_real->flushFolder(path);
}

namespace {

namespace fs = std::filesystem;

std::error_code errorOf(std::errc e) {
    return std::make_error_code(e);
}

/// A real file of the platform's, with the faults that the test asked for.
class FakeFile : public OpenFile {
public:
    std::optional<EntryStamp> stamp() const override {
        std::optional<EntryStamp> real = m_real->stamp();
        if (real)
            real->id.volume = m_system.volumeOf(m_path);
        return real;
    }

    FakeFile(std::unique_ptr<OpenFile> real, const FakeSystem& system, std::string path,
             std::optional<std::uint64_t> corrupt)
        : m_real(std::move(real)), m_system(system), m_path(std::move(path)), m_corrupt(corrupt) {}

    std::size_t read(char* buffer, std::size_t size, std::error_code& ec) override {
        const std::size_t n = m_real->read(buffer, size, ec);
        if (m_corrupt && *m_corrupt >= m_offset && *m_corrupt < m_offset + n)
            buffer[*m_corrupt - m_offset] = static_cast<char>(~buffer[*m_corrupt - m_offset]);
        m_offset += n;
        return n;
    }
    std::size_t write(const char* buffer, std::size_t size, std::error_code& ec) override {
        if (m_system.writeFaults.interruptions > 0) {
            --m_system.writeFaults.interruptions;
            ec = errorOf(std::errc::interrupted);
            return 0;
        }
        std::this_thread::sleep_for(m_system.writeFaults.delayPerWrite);
        std::size_t n = std::min(size, m_system.writeFaults.maxPerWrite);
        if (m_system.writeFaults.bytesUntilFull) {
            n = static_cast<std::size_t>(
                std::min<std::uint64_t>(n, *m_system.writeFaults.bytesUntilFull));
            if (n == 0) {
                ec = errorOf(std::errc::no_space_on_device);
                return 0;
            }
        }
        const std::size_t written = m_real->write(buffer, n, ec);
        if (m_system.writeFaults.bytesUntilFull)
            *m_system.writeFaults.bytesUntilFull -= written;
        return written;
    }
    std::error_code flush() override {
        m_system.flushed.push_back(m_path);
        return m_system.flushError ? m_system.flushError : m_real->flush();
    }
    std::error_code close() override { return m_real->close(); }

private:
    std::unique_ptr<OpenFile> m_real;
    const FakeSystem& m_system;
    std::string m_path;
    std::optional<std::uint64_t> m_corrupt;
    std::uint64_t m_offset = 0;
};

} // namespace

FakeSystem::FakeSystem() : m_real(makeSystem()) {}

FakeSystem::~FakeSystem() = default;

std::unique_ptr<OpenFile> FakeSystem::openFile(const std::string& path, OpenMode mode,
                                               std::error_code& ec) const {
    std::unique_ptr<OpenFile> real = m_real->openFile(path, mode, ec);
    if (!real)
        return nullptr;
    std::optional<std::uint64_t> corrupt;
    if (mode == OpenMode::readFromDevice) {
        ++deviceReads;
        if (auto it = corruptOnDevice.find(fsPath(path).filename().string());
            it != corruptOnDevice.end())
            corrupt = it->second;
    }
    return std::make_unique<FakeFile>(std::move(real), *this, path, corrupt);
}

std::optional<CardIdentity> FakeSystem::cardIdentity(const std::string& root) const {
    if (!fs::is_directory(fsPath(root)) ||
        std::find(unidentified.begin(), unidentified.end(), root) != unidentified.end())
        return std::nullopt;
    auto it = volumes.find(root);
    const auto label = volumeLabels.find(root);
    return CardIdentity{root, it != volumes.end() ? it->second : "volume of " + root,
                        label != volumeLabels.end() ? label->second : std::string()};
}

const FakeSystem::Drive* FakeSystem::driveHolding(const std::string& path) const {
    std::error_code ec;
    const fs::path file = fs::weakly_canonical(fsPath(path), ec);
    for (const auto& [designation, drive] : table) {
        if (drive.root.status != RootFolder::Status::ok)
            continue;
        const fs::path folder = fs::weakly_canonical(fsPath(drive.root.path), ec);
        const auto [end, rest] =
            std::mismatch(folder.begin(), folder.end(), file.begin(), file.end());
        if (!ec && end == folder.end())
            return &drive;
    }
    return nullptr;
}

std::string FakeSystem::volumeOf(const std::string& path) const {
    const Drive* drive = driveHolding(path);
    return drive ? "drive " + drive->root.path : "elsewhere";
}

std::optional<EntryStamp> FakeSystem::fileStamp(const std::string& path) const {
    std::optional<EntryStamp> stamp = m_real->fileStamp(path);
    if (stamp)
        stamp->id.volume = volumeOf(path);
    return stamp;
}

std::optional<EntryStamp> FakeSystem::entryStamp(const std::string& path) const {
    std::optional<EntryStamp> stamp = m_real->entryStamp(path);
    if (stamp)
        stamp->id.volume = volumeOf(utf8Path(fsPath(path).parent_path()));
    return stamp;
}

std::error_code FakeSystem::flushFile(const std::string& path) const {
    flushed.push_back(path);
    return flushError ? flushError : m_real->flushFile(path);
}

std::unique_ptr<CardLock> FakeSystem::lockCard(const std::string& root, std::error_code& ec) const {
    if (std::find(busyCards.begin(), busyCards.end(), root) != busyCards.end()) {
        ec = std::make_error_code(std::errc::device_or_resource_busy);
        return nullptr;
    }
    return m_real->lockCard(root, ec);
}

bool FakeSystem::onRemovableMedia(const std::string& folder) const {
    const Drive* drive = driveHolding(folder);
    return drive && drive->type == drive_type::removable;
}

} // namespace velk::test
