#pragma once

#include <string>
#include <string_view>

namespace velk {

// Names are UTF-8 and file systems fold only ASCII letters the same way everywhere: these
// fold byte by byte, A-Z only, and leave the locale out of it.

[[nodiscard]] constexpr char foldedChar(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

[[nodiscard]] std::string folded(std::string s);
[[nodiscard]] bool sameIgnoringCase(std::string_view a, std::string_view b);
[[nodiscard]] bool endsWithIgnoringCase(std::string_view s, std::string_view suffix);

} // namespace velk
