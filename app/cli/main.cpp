#include "core/CommandLineTexts.h"
#include "core/Texts.h"
#include "platform/System.h"
#include "platform/Terminal.h"
#include "ui/cli/Arguments.h"
#include "ui/cli/Commands.h"
#include "ui/cli/ConsolePort.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

const char* helpFor(velk::cli::Request::Command command) {
    using Command = velk::cli::Request::Command;
    switch (command) {
    case Command::programme:
        return velk::text::cliProgrammeHelp;
    case Command::list:
        return velk::text::cliListHelp;
    case Command::verify:
        return velk::text::cliVerifyHelp;
    case Command::drives:
        return velk::text::cliDrivesHelp;
    case Command::eject:
        return velk::text::cliEjectHelp;
    case Command::none:
        break;
    }
    return velk::text::cliUsage;
}

} // namespace

int main(int argc, char* argv[]) {
    using namespace velk;
    useUtf8Console();
    suppressDriveErrorBoxes();
    cli::Request request;
    try {
        request = cli::parseArguments(commandLineArguments(argc, argv));
    } catch (const cli::UsageError& e) {
        std::cerr << text::cliName << text::runReasonSeparator << e.what() << '\n'
                  << text::cliSeeHelp << '\n';
        return cli::exitUsage;
    }
    if (request.help) {
        std::cout << helpFor(request.command);
        return cli::exitDone;
    }
    if (request.version) {
        std::cout << text::cliName << ' ' << VELK_VERSION << '\n';
        return cli::exitDone;
    }
    // Ctrl+C, a closed terminal or a SIGTERM stops every card at its next safe point.
    catchInterrupts();
    const auto system = makeSystem();
    return cli::runCommand(request, *system, std::cout, std::cerr);
}
