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

/// Makes a console show the program's UTF-8 output as such until the program ends, when the
/// console gets back the code pages it had; a terminal elsewhere already does.
void useUtf8Console();

/// A drive without a medium fails the call that asked it instead of raising the system's
/// "No disk" box, which would stop a command until someone answers it (Windows only).
void suppressDriveErrorBoxes();

/// From now on an interrupt is counted instead of ending the program, which asks
/// interruptCount() at its safe points and ends itself. Interrupts are SIGINT, SIGTERM and
/// SIGHUP on Linux, where a system call they interrupt is restarted rather than failed; on
/// Windows Ctrl+C, Ctrl+Break and closing the console window, after which Windows ends the
/// process within about five seconds: the program has that long to stop.
void catchInterrupts();

/// How many interrupts have come since catchInterrupts(); safe to ask from any thread.
[[nodiscard]] int interruptCount();

/// Reads a line of standard input into `line`, without its end. False at the end of the
/// input, and on Linux as soon as an interrupt comes while it waits, so that a question never
/// outlasts Ctrl+C.
[[nodiscard]] bool readAnswer(std::string& line);

} // namespace velk
