#include "platform/Terminal.h"

#include <atomic>
#include <cstdio>
#include <iostream>

#include <windows.h>

#include <shellapi.h>

namespace velk {

namespace {

/// The console's own code pages, put back when the program ends. Without a console (a
/// detached process) both are 0 and there is nothing to put back.
struct ConsoleCodePages {
    UINT output = ::GetConsoleOutputCP();
    UINT input = ::GetConsoleCP();

    ~ConsoleCodePages() {
        if (output == 0)
            return;
        // The streams' own last flush comes after this: what the program wrote is shown in
        // UTF-8 first.
        std::cout.flush();
        std::fflush(nullptr);
        ::SetConsoleOutputCP(output);
        ::SetConsoleCP(input);
    }
};

std::atomic<int> interrupts{0};

// Called on a thread of its own. Windows ends the process as soon as the handler returns from
// a closed console, or after about five seconds: so that one does not return, and the program
// ends the process itself once its cards are stopped.
BOOL WINAPI onConsoleEvent(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        ++interrupts;
        return TRUE;
    case CTRL_CLOSE_EVENT:
        ++interrupts;
        ::Sleep(INFINITE);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

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
        const int bytes =
            ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string utf8(static_cast<std::size_t>(bytes > 0 ? bytes - 1 : 0), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, utf8.data(), bytes, nullptr, nullptr);
        arguments.push_back(std::move(utf8));
    }
    ::LocalFree(wide);
    return arguments;
}

void useUtf8Console() {
    static const ConsoleCodePages original;
    if (original.output == 0)
        return;
    ::SetConsoleOutputCP(CP_UTF8);
    ::SetConsoleCP(CP_UTF8);
}

// As the window does: an empty card reader would otherwise raise the box at each look.
void suppressDriveErrorBoxes() {
    ::SetErrorMode(::GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

void catchInterrupts() {
    // Once: a handler added twice would count each interrupt twice.
    [[maybe_unused]] static const bool added = ::SetConsoleCtrlHandler(onConsoleEvent, TRUE) != 0;
}

int interruptCount() {
    return interrupts.load();
}

// The console ends a read of its own when Ctrl+C comes, as the end of the input.
bool readAnswer(std::string& line) {
    if (!std::getline(std::cin, line))
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

} // namespace velk
