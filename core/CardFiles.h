#pragma once

#include "ContentHash.h"
#include "SystemPort.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velk {

/// A card file written whole and still open: only the descriptor that wrote it is sure to
/// hear of a write that fails on its way to the device. Dropped unflushed, it is closed.
struct WrittenFile {
    std::string path;
    std::unique_ptr<OpenFile> file;
    ContentHash content; ///< of the bytes written
};

/// Called after each chunk of a copy or a read-back with the bytes done so far, and with 0
/// while a copy waits for a source that another program holds. The run lets the window
/// answer there; whatever it throws stops the copy.
using ChunkDone = std::function<void(std::uint64_t bytesDone)>;

/// Copies `source` whole to `target`, which is created or emptied: every byte is written,
/// however few each write takes. Nothing but the bytes is taken from the source (no
/// permissions, owner, times or attributes). A source that is not the file `expected` as it
/// was then, when given, is refused before anything is written. On any failure, and whatever
/// `chunkDone` throws, the partial target is removed; CardError names both files and the system's
/// reason.
WrittenFile copyFile(const SystemPort& system, const std::string& source, const std::string& target,
                     const std::optional<EntryStamp>& expected = std::nullopt,
                     const ChunkDone& chunkDone = {});

/// Writes `bytes` as the whole content of `target`, by the same rules as copyFile.
WrittenFile writeFile(const SystemPort& system, const std::vector<std::uint8_t>& bytes,
                      const std::string& target);

/// Forces a written file to the device and closes it. A file that does not get there whole
/// is removed, and CardError gives the system's reason. Flushing after all copies, rather
/// than after each, lets the device write them in one go.
void flushToCard(const SystemPort& system, WrittenFile& written);

/// Removes a card file of this run's, and says nothing when it is already gone.
void removeCardFile(const SystemPort& system, const std::string& path);

/// The first `limit` bytes of the file `path`, all of it when shorter. Empty with `ec` set
/// when it cannot be read.
[[nodiscard]] std::vector<std::uint8_t> readStart(const SystemPort& system, const std::string& path,
                                                  std::size_t limit, std::error_code& ec);

/// Reads `cardFile` back from the device and compares it with the file `source`. A
/// difference, in content or length, throws CardError naming the card file and the first
/// byte that differs.
void compareWithSource(const SystemPort& system, const std::string& cardFile,
                       const std::string& source);

/// Where `cardFile`, read back from the device, first differs from the file `source`, in
/// content or length; nullopt when it holds exactly the same bytes. Throws CardError when
/// either cannot be read.
[[nodiscard]] std::optional<std::uint64_t> firstDifferenceFromSource(const SystemPort& system,
                                                                     const std::string& cardFile,
                                                                     const std::string& source);

/// Reads `cardFile` back from the device and checks that it holds what was `written` (see
/// WrittenFile). Only when it does not is `source` read again, to find the first byte that
/// differs: CardError names the card file and that byte.
void verifyFile(const SystemPort& system, const std::string& cardFile, const std::string& source,
                const ContentHash& written, const ChunkDone& chunkDone = {});

/// The same against the bytes the file should hold.
void verifyBytes(const SystemPort& system, const std::string& cardFile,
                 const std::vector<std::uint8_t>& expected);

} // namespace velk
