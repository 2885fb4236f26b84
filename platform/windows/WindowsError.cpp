#include "WindowsError.h"

#include "SharingRetry.h"
#include "WindowsText.h"
#include "core/PlatformTexts.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cerrno>

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

/// The system's code that the C library made an errno value from, or 0.
DWORD systemCodeOf(int err) {
    switch (err) {
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case EACCES:
    case EPERM:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case ENOSPC:
        return ERROR_DISK_FULL;
    case EROFS:
        return ERROR_WRITE_PROTECT;
    case EBUSY:
        return ERROR_BUSY;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case EXDEV:
        return ERROR_NOT_SAME_DEVICE;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    default:
        return 0;
    }
}

} // namespace

const std::error_category& windowsCategory() {
    static const WindowsCategory category;
    return category;
}

bool isHeldByAnotherProgram(const std::error_code& ec) {
    return (ec.category() == windowsCategory() || ec.category() == std::system_category()) &&
           heldByAnotherProgram(static_cast<unsigned long>(ec.value()));
}

std::string describeError(const std::error_code& ec) {
    if (isHeldByAnotherProgram(ec))
        return text::fileInUse;
    if (ec.category() == std::system_category())
        return windowsError(static_cast<unsigned long>(ec.value())).message();
    if (ec.category() == std::generic_category())
        if (const DWORD code = systemCodeOf(ec.value()))
            return windowsError(code).message();
    return ec.message();
}

} // namespace velk
