#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace velk {

/// One help topic file as the help window shows it, or why it could not be read.
struct HelpTopic {
    static constexpr int count = 9;

    /// UTF-8, one "\n" per line end of the file.
    std::string text;
    /// Empty when the file was read; otherwise the path and the system's own message.
    std::string error;

    [[nodiscard]] bool ok() const { return error.empty(); }
};

/// "velkhlp1.txt" to "velkhlp9.txt" for topics 1 to 9; throws std::out_of_range otherwise.
[[nodiscard]] std::string helpTopicFile(int topic);

/// Windows-1252 bytes as UTF-8. The five bytes that code page leaves undefined (0x81, 0x8D,
/// 0x8F, 0x90, 0x9D) become the control characters of the same number. CR LF, and a CR or
/// LF standing alone, each become one "\n".
[[nodiscard]] std::string decodeHelpText(std::string_view bytes);

/// Reads and decodes the whole topic file. The file is opened for reading and writing, so a
/// missing one is left behind empty; one that exists but may not be written (read-only
/// folder or mount) is still read. Never throws for a file-system failure: it comes back
/// in `error`, with `text` empty.
[[nodiscard]] HelpTopic readHelpTopic(const std::filesystem::path& path);

} // namespace velk
