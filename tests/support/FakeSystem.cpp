#include "FakeSystem.h"

#include "core/Paths.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

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
    table[designation] = {drive_type::fixed, SpaceCounts{8, 512, 0, 1000000},
                          {RootFolder::Status::ok, root, {}}};
    order.push_back(designation);
}

std::vector<DriveEntry> FakeSystem::drives() const {
    std::vector<DriveEntry> out;
    for (const auto& d : order)
        out.push_back({d, d});
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
    return it == table.end() ? std::nullopt : it->second.space;
}

RootFolder FakeSystem::rootFolder(const std::string& designation) const {
    auto it = table.find(designation);
    if (it == table.end())
        return {RootFolder::Status::failed, {}, "no such drive"};
    return it->second.root;
}

std::error_code FakeSystem::flushFile(const std::string& path) const {
    flushed.push_back(path);
    return flushError;
}

std::error_code FakeSystem::flushFolder(const std::string& path) const {
    flushed.push_back(path + "/");
    return flushError;
}

namespace {

namespace fs = std::filesystem;

std::error_code errorOf(std::errc e) { return std::make_error_code(e); }

/// A file on the real file system with the faults that the test asked for.
class FakeFile : public OpenFile {
public:
    FakeFile(std::fstream stream, FakeSystem::WriteFaults* faults, std::optional<std::uint64_t> corrupt)
        : m_stream(std::move(stream)), m_faults(faults), m_corrupt(corrupt) {}

    std::size_t read(char* buffer, std::size_t size, std::error_code& ec) override {
        m_stream.read(buffer, static_cast<std::streamsize>(size));
        if (m_stream.bad()) {
            ec = errorOf(std::errc::io_error);
            return 0;
        }
        const auto n = static_cast<std::size_t>(m_stream.gcount());
        if (m_corrupt && *m_corrupt >= m_offset && *m_corrupt < m_offset + n)
            buffer[*m_corrupt - m_offset] = static_cast<char>(~buffer[*m_corrupt - m_offset]);
        m_offset += n;
        m_stream.clear();
        return n;
    }
    std::size_t write(const char* buffer, std::size_t size, std::error_code& ec) override {
        if (m_faults->interruptions > 0) {
            --m_faults->interruptions;
            ec = errorOf(std::errc::interrupted);
            return 0;
        }
        std::size_t n = std::min(size, m_faults->maxPerWrite);
        if (m_faults->bytesUntilFull) {
            n = static_cast<std::size_t>(std::min<std::uint64_t>(n, *m_faults->bytesUntilFull));
            if (n == 0) {
                ec = errorOf(std::errc::no_space_on_device);
                return 0;
            }
            *m_faults->bytesUntilFull -= n;
        }
        if (!m_stream.write(buffer, static_cast<std::streamsize>(n))) {
            ec = errorOf(std::errc::io_error);
            return 0;
        }
        return n;
    }
    std::error_code flush() override {
        return m_stream.flush() ? std::error_code() : errorOf(std::errc::io_error);
    }
    std::error_code close() override {
        m_stream.close();
        return m_stream ? std::error_code() : errorOf(std::errc::io_error);
    }

private:
    std::fstream m_stream;
    FakeSystem::WriteFaults* m_faults;
    std::optional<std::uint64_t> m_corrupt;
    std::uint64_t m_offset = 0;
};

} // namespace

std::unique_ptr<OpenFile> FakeSystem::openFile(const std::string& path, OpenMode mode,
                                               std::error_code& ec) const {
    const fs::path p = fsPath(path);
    const bool writing = mode == OpenMode::createOrTruncate || mode == OpenMode::createOrKeep;
    std::error_code statusError;
    const fs::file_status status = fs::symlink_status(p, statusError);
    if (writing && fs::is_symlink(status)) {
        ec = errorOf(std::errc::too_many_symbolic_link_levels);
        return nullptr;
    }
    if (!writing && !fs::exists(p)) {
        ec = errorOf(std::errc::no_such_file_or_directory);
        return nullptr;
    }
    std::ios::openmode how = std::ios::binary;
    if (!writing)
        how |= std::ios::in;
    else if (mode == OpenMode::createOrTruncate)
        how |= std::ios::out | std::ios::trunc;
    else
        how |= std::ios::out | std::ios::app;
    std::fstream stream(p, how);
    if (!stream.is_open()) {
        ec = errorOf(std::errc::permission_denied);
        return nullptr;
    }
    std::optional<std::uint64_t> corrupt;
    if (mode == OpenMode::readFromDevice) {
        ++deviceReads;
        if (auto it = corruptOnDevice.find(p.filename().string()); it != corruptOnDevice.end())
            corrupt = it->second;
    }
    ec.clear();
    return std::make_unique<FakeFile>(std::move(stream), &writeFaults, corrupt);
}

std::optional<CardIdentity> FakeSystem::cardIdentity(const std::string& root) const {
    if (!fs::is_directory(fsPath(root)))
        return std::nullopt;
    auto it = volumes.find(root);
    return CardIdentity{root, it != volumes.end() ? it->second : "volume of " + root};
}

// A fake card is a folder: everything below it is on its volume.
bool FakeSystem::onSameVolume(const std::string& path, const std::string& root) const {
    std::error_code ec;
    const fs::path file = fs::weakly_canonical(fsPath(path), ec);
    const fs::path folder = fs::weakly_canonical(fsPath(root), ec);
    if (ec)
        return false;
    const auto [end, rest] = std::mismatch(folder.begin(), folder.end(), file.begin(), file.end());
    return end == folder.end();
}

} // namespace velk::test
