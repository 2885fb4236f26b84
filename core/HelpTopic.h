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
    /// Empty when the file was read; otherwise what the help window says instead: that the
    /// topic was not found, or that it cannot be shown, with the path and the system's message.
    std::string error;

    [[nodiscard]] bool ok() const { return error.empty(); }
};

/// "velkhlp1.txt" to "velkhlp9.txt" for topics 1 to 9; throws std::out_of_range otherwise.
[[nodiscard]] std::string helpTopicFile(int topic);

/// Windows-1252 bytes as UTF-8. The five bytes that code page leaves undefined (0x81, 0x8D,
/// 0x8F, 0x90, 0x9D) become the control characters of the same number. CR LF, and a CR or
/// LF standing alone, each become one "\n".
[[nodiscard]] std::string decodeHelpText(std::string_view bytes);

/// Reads and decodes the whole topic file, which is only read: a missing one is reported, never
/// created. Never throws for a file-system failure: it comes back in `error`, with `text` empty.
[[nodiscard]] HelpTopic readHelpTopic(const std::filesystem::path& path);

} // namespace velk
