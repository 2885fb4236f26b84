#include "Terminal.h"

#include <windows.h>

#include <shellapi.h>

namespace velk {

bool isTerminal(StandardStream stream) {
    DWORD id = STD_ERROR_HANDLE;
    if (stream == StandardStream::input)
        id = STD_INPUT_HANDLE;
    else if (stream == StandardStream::output)
        id = STD_OUTPUT_HANDLE;
    // A console handle answers GetConsoleMode; a file or a pipe does not.
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(id), &mode) != 0;
}

// argv holds the arguments in the ANSI code page, which loses letters outside it; the wide
// command line keeps them all.
std::vector<std::string> commandLineArguments(int, char*[]) {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide && i < count; ++i) {
        const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string utf8(static_cast<std::size_t>(bytes > 0 ? bytes - 1 : 0), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, utf8.data(), bytes, nullptr, nullptr);
        arguments.push_back(std::move(utf8));
    }
    ::LocalFree(wide);
    return arguments;
}

void useUtf8Console() {
    ::SetConsoleOutputCP(CP_UTF8);
    ::SetConsoleCP(CP_UTF8);
}

} // namespace velk
