#include "CardFiles.h"

#include "CardImage.h"
#include "Paths.h"
#include "SystemPort.h"
#include "Texts.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <new>
#include <system_error>

namespace velk {

namespace {

// Small enough that a card writing 2 MB/s takes a chunk in a quarter of a second, the longest
// the window waits between two chances to answer; large enough that a fast card is written as
// fast as the system's own tools write it (bench/bench_copy).
constexpr std::size_t chunkSize = std::size_t{512} << 10;

bool interrupted(const std::error_code& ec) {
    return ec == std::errc::interrupted;
}

/// Fills `buffer` as far as the file allows; fewer bytes only at the end of the file.
std::size_t readFully(OpenFile& file, char* buffer, std::size_t size, std::error_code& ec) {
    std::size_t done = 0;
    while (done < size) {
        ec.clear();
        const std::size_t n = file.read(buffer + done, size - done, ec);
        if (ec && interrupted(ec))
            continue;
        if (ec || n == 0)
            break;
        done += n;
    }
    return done;
}

void writeFully(OpenFile& file, const char* buffer, std::size_t size, std::error_code& ec) {
    std::size_t done = 0;
    while (done < size) {
        ec.clear();
        const std::size_t n = file.write(buffer + done, size - done, ec);
        if (ec && interrupted(ec))
            continue;
        if (ec)
            return;
        // A write that takes nothing and says nothing would repeat for ever.
        if (n == 0) {
            ec = std::make_error_code(std::errc::io_error);
            return;
        }
        done += n;
    }
}

/// Produces the bytes to write, `size` at most at a time; 0 at the end.
using Producer = std::function<std::size_t(char* buffer, std::size_t size, std::error_code& ec)>;

/// The failure of a write to `target`; `source` is empty when the bytes came from memory.
CardError writeError(const SystemPort& system, const std::string& source, const std::string& target,
                     const std::error_code& ec) {
    const std::string reason = system.describe(ec);
    return source.empty() ? CardError(target, reason) : CardError(source, reason, target);
}

/// The target is only ever left behind complete.
WrittenFile writeTarget(const SystemPort& system, const std::string& source,
                        const std::string& target, const Producer& produce,
                        const ChunkDone& chunkDone) {
    std::error_code ec;
    std::unique_ptr<OpenFile> out = system.openFile(target, OpenMode::createOrTruncate, ec);
    if (!out)
        throw writeError(system, source, target, ec);

    ContentHasher content;
    try {
        std::vector<char> buffer(chunkSize);
        std::uint64_t done = 0;
        for (;;) {
            const std::size_t n = produce(buffer.data(), buffer.size(), ec);
            if (ec)
                throw writeError(system, source, target, ec);
            if (n == 0)
                break;
            writeFully(*out, buffer.data(), n, ec);
            if (ec)
                throw writeError(system, source, target, ec);
            content.update(buffer.data(), n);
            done += n;
            if (chunkDone)
                chunkDone(done);
        }
    } catch (...) {
        (void)out->close();
        removeCardFile(system, target);
        throw;
    }
    return {target, std::move(out), content.result()};
}

/// Where what the device gives back for `cardFile` first differs from what `expected`
/// produces, in content or length; nullopt when it does not. Throws CardError when either
/// cannot be read.
std::optional<std::uint64_t> firstDifference(const SystemPort& system, const std::string& cardFile,
                                             const Producer& expected) {
    std::error_code ec;
    std::unique_ptr<OpenFile> card = system.openFile(cardFile, OpenMode::readFromDevice, ec);
    if (!card)
        throw CardError(cardFile, system.describe(ec));

    std::vector<char> want(chunkSize);
    std::vector<char> got(chunkSize);
    std::uint64_t offset = 0;
    for (;;) {
        const std::size_t wanted = expected(want.data(), want.size(), ec);
        if (ec)
            throw CardError(cardFile, system.describe(ec));
        const std::size_t read = readFully(*card, got.data(), wanted == 0 ? 1 : wanted, ec);
        if (ec)
            throw CardError(cardFile, system.describe(ec));
        const auto [w, g] = std::mismatch(
            want.begin(), want.begin() + static_cast<std::ptrdiff_t>(std::min(wanted, read)),
            got.begin());
        const auto same = static_cast<std::uint64_t>(w - want.begin());
        if (same < std::min(wanted, read) || read != wanted)
            return offset + same;
        if (wanted == 0)
            break;
        offset += wanted;
    }
    (void)card->close();
    return std::nullopt;
}

void compare(const SystemPort& system, const std::string& cardFile, const Producer& expected) {
    if (const auto at = firstDifference(system, cardFile, expected))
        throw CardError(cardFile, text::differsAtByte + std::to_string(*at));
}

Producer fromFile(const SystemPort& system, const std::string& path,
                  std::unique_ptr<OpenFile>& file, const ChunkDone& chunkDone = {}) {
    std::error_code ec;
    // Only a caller that lets the window answer between tries waits for a held file.
    file = chunkDone ? system.openSource(path, ec, [&chunkDone] { chunkDone(0); })
                     : system.openSource(path, ec, {});
    if (!file)
        throw CardError(path, system.describeFileError(ec, path));
    return [&file](char* buffer, std::size_t size, std::error_code& e) {
        return readFully(*file, buffer, size, e);
    };
}

Producer fromBytes(const std::vector<std::uint8_t>& bytes) {
    return [&bytes, at = std::size_t{0}](char* buffer, std::size_t size, std::error_code&) mutable {
        const std::size_t n = std::min(size, bytes.size() - at);
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), n, buffer);
        at += n;
        return n;
    };
}

} // namespace

WrittenFile copyFile(const SystemPort& system, const std::string& source, const std::string& target,
                     const std::optional<EntryStamp>& expected, const ChunkDone& chunkDone) {
    std::unique_ptr<OpenFile> in;
    const Producer produce = fromFile(system, source, in, chunkDone);
    if (expected && in->stamp() != expected)
        throw CardError(source, text::notTheFilePinned);
    WrittenFile written = writeTarget(system, source, target, produce, chunkDone);
    // A program the source is shared with (a recorder) may write it meanwhile: the card would
    // hold part of the old recording and part of the new, and verify as what was written.
    if (expected && in->stamp() != expected) {
        (void)written.file->close();
        removeCardFile(system, target);
        throw CardError(source, text::changedWhileCopied, target);
    }
    return written;
}

WrittenFile writeFile(const SystemPort& system, const std::vector<std::uint8_t>& bytes,
                      const std::string& target) {
    return writeTarget(system, {}, target, fromBytes(bytes), {});
}

void flushToCard(const SystemPort& system, WrittenFile& written) {
    std::error_code ec = written.file->flush();
    const std::error_code closed = written.file->close();
    written.file.reset();
    if (!ec)
        ec = closed;
    if (ec) {
        removeCardFile(system, written.path);
        throw CardError(written.path, system.describe(ec));
    }
}

void removeCardFile(const SystemPort& system, const std::string& path) {
    (void)system.removeFile(path, {});
}

std::vector<std::uint8_t> readStart(const SystemPort& system, const std::string& path,
                                    std::size_t limit, std::error_code& ec) {
    const std::unique_ptr<OpenFile> in = system.openFile(path, OpenMode::read, ec);
    if (!in)
        return {};
    std::vector<std::uint8_t> bytes(limit);
    bytes.resize(readFully(*in, reinterpret_cast<char*>(bytes.data()), limit, ec));
    if (ec)
        bytes.clear();
    return bytes;
}

void compareWithSource(const SystemPort& system, const std::string& cardFile,
                       const std::string& source) {
    std::unique_ptr<OpenFile> in;
    compare(system, cardFile, fromFile(system, source, in));
}

std::optional<std::uint64_t> firstDifferenceFromSource(const SystemPort& system,
                                                       const std::string& cardFile,
                                                       const std::string& source) {
    std::unique_ptr<OpenFile> in;
    return firstDifference(system, cardFile, fromFile(system, source, in));
}

void verifyFile(const SystemPort& system, const std::string& cardFile, const std::string& source,
                const ContentHash& written, const ChunkDone& chunkDone) {
    std::error_code ec;
    std::unique_ptr<OpenFile> card = system.openFile(cardFile, OpenMode::readFromDevice, ec);
    if (!card)
        throw CardError(cardFile, system.describe(ec));
    // Aligned, so that a read past the cache can land in it directly.
    constexpr std::align_val_t alignment{4096};
    const std::unique_ptr<char, void (*)(char*)> buffer(
        static_cast<char*>(::operator new(chunkSize, alignment)),
        [](char* p) { ::operator delete(p, alignment); });
    ContentHasher onCard;
    std::uint64_t done = 0;
    for (;;) {
        const std::size_t n = readFully(*card, buffer.get(), chunkSize, ec);
        if (ec)
            throw CardError(cardFile, system.describe(ec));
        if (n == 0)
            break;
        onCard.update(buffer.get(), n);
        done += n;
        if (chunkDone)
            chunkDone(done);
    }
    (void)card->close();
    if (onCard.result() == written)
        return;
    compareWithSource(system, cardFile, source);
    // The card holds the source as it is now, which is not what was written to it.
    throw CardError(cardFile, text::sourceChanged);
}

void verifyBytes(const SystemPort& system, const std::string& cardFile,
                 const std::vector<std::uint8_t>& expected) {
    compare(system, cardFile, fromBytes(expected));
}

} // namespace velk
