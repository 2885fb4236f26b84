#pragma once

#include <string>
#include <vector>

namespace velk {

/// The standard streams a console program reads and writes.
enum class StandardStream { input, output, error };

/// True when the stream is a terminal (a console window on Windows), not a file or a pipe.
[[nodiscard]] bool isTerminal(StandardStream stream);

/// The program's arguments after its name, in UTF-8 whatever the system's code page.
[[nodiscard]] std::vector<std::string> commandLineArguments(int argc, char* argv[]);

/// Makes a console show the program's UTF-8 output as such; a terminal elsewhere already does.
void useUtf8Console();

} // namespace velk
