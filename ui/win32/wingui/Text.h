#pragma once

#include <string>
#include <string_view>

namespace velk::win {

/// UTF-8 (core's text) to UTF-16 (the W functions' text) and back, at the window boundary.
[[nodiscard]] std::wstring widen(std::string_view utf8);
[[nodiscard]] std::string narrow(std::wstring_view utf16);

} // namespace velk::win
