#include "Terminal.h"

#include <unistd.h>

namespace velk {

bool isTerminal(StandardStream stream) {
    switch (stream) {
    case StandardStream::input: return ::isatty(STDIN_FILENO) == 1;
    case StandardStream::output: return ::isatty(STDOUT_FILENO) == 1;
    case StandardStream::error: return ::isatty(STDERR_FILENO) == 1;
    }
    return false;
}

std::vector<std::string> commandLineArguments(int argc, char* argv[]) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

void useUtf8Console() {}

} // namespace velk
