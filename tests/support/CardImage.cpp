#include "CardImage.h"

#include "Bytes.h"
#include "CardTools.h"
#include "Spawn.h"

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velk::test {

namespace fs = std::filesystem;

namespace {

/// One write of the log: a little-endian 8-byte offset and 4-byte length, then the bytes.
struct LoggedWrite {
    std::uint64_t offset = 0;
    std::uint32_t length = 0;
};

bool readHeader(std::istream& in, LoggedWrite& write) {
    unsigned char header[12];
    if (!in.read(reinterpret_cast<char*>(header), sizeof header))
        return false;
    write = {};
    for (int b = 0; b < 8; ++b)
        write.offset |= std::uint64_t{header[b]} << (8 * b);
    for (int b = 0; b < 4; ++b)
        write.length |= std::uint32_t{header[8 + b]} << (8 * b);
    return true;
}

} // namespace

std::string readDevice(int fd, const std::string& device) {
    std::string content;
    char buffer[1 << 16];
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            failStep("reading " + device);
        if (n == 0)
            return content;
        content.append(buffer, static_cast<std::size_t>(n));
        at += n;
    }
}

void overwriteDevice(int fd, const std::string& device, const std::string& content) {
    for (std::size_t done = 0; done < content.size();) {
        const ssize_t n =
            ::pwrite(fd, content.data() + done, content.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            failStep("writing " + device, n < 0 ? errno : EIO);
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0)
        failStep("flushing " + device);
}

void writeFileOrThrow(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

FileContents rootFiles(const std::string& folder) {
    FileContents files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.symlink_status().type() == fs::file_type::regular)
            files[entry.path().filename().string()] = readBytes(entry.path());
    return files;
}

FileContents allFiles(const std::string& folder) {
    FileContents files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] = readBytes(entry.path());
    return files;
}

void copyFatFiles(const std::string& image, const std::string& into, const std::string& work,
                  bool withFolders) {
    fs::remove_all(into);
    fs::create_directories(into);
    // mcopy fails where there is nothing to copy; mdir tells that apart from a real failure.
    const std::vector<std::string> skipCheck{"MTOOLS_SKIP_CHECK=1"};
    runTool({findTool("mdir"), "-b", "-i", image, "::/"}, work + "/mdir.log", skipCheck);
    bool anything = false;
    for (std::istringstream names(readBytes(work + "/mdir.log")); !names.eof();) {
        std::string line;
        std::getline(names, line);
        anything = anything || (!line.empty() && (withFolders || !line.ends_with('/')));
    }
    if (!anything)
        return;
    std::vector<std::string> argv{findTool("mcopy"), "-n", "-i", image, "::/*", into + "/"};
    if (withFolders)
        argv.insert(argv.begin() + 1, "-s");
    runTool(argv, work + "/mcopy.log", skipCheck);
}

std::string checkImage(const std::string& path, bool fat, const std::string& log) {
    const int status =
        waitFor(startTool(fat ? std::vector<std::string>{findTool("fsck.fat"), "-n", path}
                              : std::vector<std::string>{findTool("e2fsck"), "-f", "-n", path},
                          log));
    // e2fsck -n passes over a journal that still needs replaying, as a card pulled while mounted
    // leaves it, with only a warning.
    const std::string report = readBytes(log);
    const bool clean = WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
                       report.find("journal recovery") == std::string::npos;
    return clean ? std::string() : report;
}

void repairImage(const std::string& path, bool fat, const std::string& log) {
    // Both checkers exit with 1 when they repaired something, which is what they are for.
    const int status =
        waitFor(startTool(fat ? std::vector<std::string>{findTool("fsck.fat"), "-a", "-w", path}
                              : std::vector<std::string>{findTool("e2fsck"), "-f", "-y", path},
                          log));
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1)
        throw std::runtime_error("the file system check could not repair the card: " +
                                 readBytes(log));
}

std::size_t journalWrites(const std::string& journal) {
    std::ifstream in(journal, std::ios::binary);
    std::size_t writes = 0;
    for (LoggedWrite write; readHeader(in, write); ++writes)
        in.seekg(write.length, std::ios::cur);
    return writes;
}

void replayJournal(const std::string& start, const std::string& journal, std::size_t writes,
                   const std::string& path) {
    fs::copy_file(start, path, fs::copy_options::overwrite_existing);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        failStep("opening " + path);
    std::ifstream in(journal, std::ios::binary);
    std::string bytes;
    LoggedWrite write;
    for (std::size_t i = 0; i < writes && readHeader(in, write); ++i) {
        bytes.resize(write.length);
        in.read(bytes.data(), write.length);
        if (::pwrite(fd, bytes.data(), write.length, static_cast<off_t>(write.offset)) !=
            static_cast<ssize_t>(write.length)) {
            ::close(fd);
            failStep("replaying onto " + path);
        }
    }
    ::close(fd);
}

} // namespace velk::test
