#include "HelpTopic.h"

#include "Paths.h"
#include "Texts.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace velk {

namespace {

// Code points of bytes 0x80 to 0x9F; the rest of the upper half is Latin-1 as it stands.
constexpr std::array<char16_t, 32> cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, //
};

void appendUtf8(std::string& out, char16_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string unreadable(const std::filesystem::path& path, int err, const char* fallback) {
    return text::helpUnreadable + utf8Path(path) + ": " +
           (err != 0 ? std::generic_category().message(err) : fallback);
}

} // namespace

std::string helpTopicFile(int topic) {
    if (topic < 1 || topic > HelpTopic::count)
        throw std::out_of_range("help topic " + std::to_string(topic) + " is not 1 to 9");
    return "velkhlp" + std::to_string(topic) + ".txt";
}

std::string decodeHelpText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(bytes[i]);
        if (b == '\r') {
            out += '\n';
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else if (b < 0x80) {
            out += static_cast<char>(b);
        } else if (b < 0xA0) {
            appendUtf8(out, cp1252High[b - 0x80]);
        } else {
            appendUtf8(out, b);
        }
    }
    return out;
}

HelpTopic readHelpTopic(const std::filesystem::path& path) {
    HelpTopic topic;
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found) {
        topic.error = text::helpNotFound + utf8Path(path);
        return topic;
    }
    // A folder opens for reading on some systems, and its "length" is no file's.
    if (std::filesystem::is_directory(status)) {
        topic.error = unreadable(path, EISDIR, "");
        return topic;
    }
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        topic.error = unreadable(path, errno, "cannot be opened");
        return topic;
    }

    errno = 0;
    file.seekg(0, std::ios::end);
    const std::streamoff length = file.tellg();
    file.seekg(0, std::ios::beg);
    if (!file || length < 0) {
        topic.error = unreadable(path, errno, "cannot be read");
        return topic;
    }
    std::string bytes(static_cast<std::size_t>(length), '\0');
    errno = 0;
    file.read(bytes.data(), length);
    if (file.gcount() != length) {
        topic.error = unreadable(path, errno, "cannot be read");
        return topic;
    }
    topic.text = decodeHelpText(bytes);
    return topic;
}

} // namespace velk
