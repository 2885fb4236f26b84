#include "WindowsError.h"

#include "WindowsText.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace velk {

namespace {

class WindowsCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "windows"; }

    std::string message(int code) const override {
        wchar_t* text = nullptr;
        const DWORD length = ::FormatMessageW(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
        if (length == 0)
            return "error " + std::to_string(static_cast<unsigned long>(code));
        std::string out = narrow(std::wstring_view(text, length));
        ::LocalFree(text);
        // The system's texts end in a full stop and a line break. A reason is set into a longer
        // line ("... failed: <file>: <reason>"), bare, as the C library's are on Linux.
        while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' '))
            out.pop_back();
        if (!out.empty() && out.back() == '.')
            out.pop_back();
        return out;
    }

    std::error_condition default_error_condition(int code) const noexcept override {
        return std::system_category().default_error_condition(code);
    }
};

} // namespace

const std::error_category& windowsCategory() {
    static const WindowsCategory category;
    return category;
}

} // namespace velk
