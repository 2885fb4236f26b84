#pragma once

#include <string>
#include <string_view>

namespace velk {

/// UTF-8, the text of core and of every path it hands over, as the W functions take it; the
/// narrow A functions would read it in the ANSI code page, which has no "日" and differs from
/// machine to machine.
[[nodiscard]] std::wstring widen(std::string_view utf8);
/// The system's UTF-16 text as UTF-8.
[[nodiscard]] std::string narrow(std::wstring_view utf16);

} // namespace velk
