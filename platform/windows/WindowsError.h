#pragma once

#include <string>
#include <system_error>

namespace velk {

/// Windows error codes (GetLastError) whose message() is the system's own text in the
/// operator's language, as UTF-8. The standard library's system category asks for the text
/// in the ANSI code page, which the program would then misread as UTF-8. Codes compare equal
/// to the std::errc conditions that the system category maps them to.
[[nodiscard]] const std::error_category& windowsCategory();

[[nodiscard]] inline std::error_code windowsError(unsigned long code) {
    return {static_cast<int>(code), windowsCategory()};
}

/// True for a Windows code (in windowsCategory or the system category) that says another
/// program holds the file without sharing it.
[[nodiscard]] bool isHeldByAnotherProgram(const std::error_code& ec);

/// The system's text for any error code, as windowsCategory gives it: the standard library's
/// file functions report GetLastError values in its system category, or the C library's errno
/// values, and would tell them in the ANSI code page or in English. A file that another program
/// holds reads as the program's own sentence for it, which says what to do.
[[nodiscard]] std::string describeError(const std::error_code& ec);

} // namespace velk
