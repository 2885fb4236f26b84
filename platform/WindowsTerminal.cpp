#include "Terminal.h"

#include <windows.h>

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

void useUtf8Console() {
    ::SetConsoleOutputCP(CP_UTF8);
    ::SetConsoleCP(CP_UTF8);
}

} // namespace velk
