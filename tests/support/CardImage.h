#pragma once

// A card's bytes outside its mount: on its loop device, in image files, in the log of its
// writes; and its files as the file system tools read them from an image.

#include <cstddef>
#include <map>
#include <string>

namespace velk::test {

/// Files by name, or by path from the folder read.
using FileContents = std::map<std::string, std::string>;

/// Everything the open device `fd` holds.
[[nodiscard]] std::string readDevice(int fd, const std::string& device);
/// Replaces the device's content from its start and flushes it.
void overwriteDevice(int fd, const std::string& device, const std::string& content);
/// Writes a whole file; throws when it cannot.
void writeFileOrThrow(const std::string& path, const std::string& content);

/// The plain files of `folder` itself, by name; links and sub-folders are passed over.
[[nodiscard]] FileContents rootFiles(const std::string& folder);
/// Every file below `folder`, by its path from there ("VELKKEEP/rec.mp3").
[[nodiscard]] FileContents allFiles(const std::string& folder);

/// Copies the root files of the FAT image at `image` into `into` with mtools, and with
/// `withFolders` its sub-folders too; `work` keeps the tools' output.
void copyFatFiles(const std::string& image, const std::string& into, const std::string& work,
                  bool withFolders);

/// Checks the image at `path` without changing it (fsck.fat -n, e2fsck -fn): empty when it is
/// clean (for ext, its journal too), else the report.
[[nodiscard]] std::string checkImage(const std::string& path, bool fat, const std::string& log);
/// Repairs the image at `path` as the operator's system would on the next insertion; throws
/// when the checker cannot.
void repairImage(const std::string& path, bool fat, const std::string& log);

/// How many writes the log at `journal` holds.
[[nodiscard]] std::size_t journalWrites(const std::string& journal);
/// Writes to `path` the image `start` after the first `writes` writes of the log `journal`.
void replayJournal(const std::string& start, const std::string& journal, std::size_t writes,
                   const std::string& path);

} // namespace velk::test
