#include "CardImage.h"

#include "FilePattern.h"
#include "Paths.h"
#include "SystemPort.h"
#include "Texts.h"
#include "TrackTable.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>
#include <utility>

namespace velk {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t recordSize = 14;

// The streams report failure without a reason; the C library's errno from the failed call
// is the closest thing to the system's own message.
std::string streamReason(int err) {
    return err != 0 ? std::generic_category().message(err)
                    : std::make_error_code(std::errc::io_error).message();
}

} // namespace

CardError::CardError(std::string path, std::string reason, std::string target)
    : std::runtime_error(path + text::runReasonSeparator + reason),
      m_path(std::move(path)),
      m_reason(std::move(reason)),
      m_target(std::move(target)) {}

const std::string& CardNames::operator[](int slot) const {
    if (slot < 1 || slot > count)
        throw std::out_of_range("card name slot " + std::to_string(slot) + " outside 1 to 20");
    return m_names[static_cast<std::size_t>(slot - 1)];
}

CardNames buildCardNames() {
    CardNames names;
    for (int i = 1; i <= CardNames::count; ++i) {
        std::string digits = std::to_string(i);
        if (digits.size() == 1)
            digits.insert(0, "0");
        names.m_names[static_cast<std::size_t>(i - 1)] = "M00000" + digits + ".MP3";
    }
    return names;
}

std::vector<std::uint8_t> indexBytes(const TrackTable& tracks, const CardNames& names) {
    const int n = tracks.trackCount;
    if (n <= 0)
        return {0, 0};

    std::vector<std::uint8_t> bytes;
    bytes.reserve(1 + recordSize * static_cast<std::size_t>(n));
    bytes.push_back(static_cast<std::uint8_t>(n & 0xFF));
    for (int i = 1; i <= n; ++i) {
        const TrackTable::Slot& slot = tracks.slot(i);
        bytes.push_back(static_cast<std::uint8_t>(slot.trackNo & 0xFF));
        bytes.push_back(slot.playMode);
        const std::string& name = names[i];
        bytes.insert(bytes.end(), name.begin(), name.end());
    }
    return bytes;
}

std::vector<std::uint8_t> writeIndexFile(TrackTable& tracks, int listedRows, const CardNames& names,
                                         const std::string& path) {
    tracks.trackCount = static_cast<std::int16_t>(listedRows);
    const std::vector<std::uint8_t> bytes = indexBytes(tracks, names);

    // Removing first also replaces a link or a file that cannot be truncated in place.
    const fs::path p = fsPath(path);
    std::error_code ec;
    fs::remove(p, ec);
    if (ec)
        throw CardError(path, ec.message());

    errno = 0;
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    if (!out.is_open())
        throw CardError(path, streamReason(errno));
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw CardError(path, streamReason(errno));
    return bytes;
}

std::string stagedIndexPath() {
    std::error_code ec;
    const fs::path folder = fs::current_path(ec);
    if (ec)
        throw CardError(indexFileName, ec.message());
    return joinPath(utf8Path(folder), indexFileName);
}

std::string cardFilePath(const std::string& destDrive, const std::string& name) {
    const std::string stem = name.substr(0, 8);
    const std::string extension = name.size() > 8 ? name.substr(8, 4) : std::string();
    return joinPath(destDrive, stem + extension);
}

void placeDummyFile(const SystemPort& system, const std::string& root, bool& created) {
    const std::string path = joinPath(root, dummyFileName);
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(fsPath(path), ec)))
        return;
    const std::unique_ptr<OpenFile> dummy = system.openFile(path, OpenMode::createOrKeep, ec);
    if (!dummy)
        throw CardError(path, ec.message());
    created = true;
    if ((ec = dummy->close()))
        throw CardError(path, ec.message());
}

std::vector<std::string> rootFiles(const std::string& root) {
    std::error_code ec;
    std::vector<std::string> names = folderFiles(root, ec);
    if (ec)
        throw CardError(root, ec.message());
    return names;
}

void wipeRoot(const std::string& root, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        const std::string path = joinPath(root, name);
        const fs::path p = fsPath(path);
        std::error_code ec;
        const fs::file_status status = fs::symlink_status(p, ec);
        if (!fs::exists(status) || fs::is_directory(status))
            continue;
        fs::remove(p, ec);
        // Windows refuses to delete a read-only file; the wipe takes it as the others.
        if (ec == std::errc::permission_denied) {
            std::error_code writable;
            fs::permissions(p, fs::perms::owner_write,
                            fs::perm_options::add | fs::perm_options::nofollow, writable);
            if (!writable)
                fs::remove(p, ec);
        }
        if (ec)
            throw CardError(path, ec.message());
    }
}

} // namespace velk
