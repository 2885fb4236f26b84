#include "CardSession.h"

#include "core/Colours.h"

#include <iostream>

namespace velk::cli {

CardSession::CardSession(const SystemPort& system, const std::string& reader, ConsoleOptions options)
    : port(options, std::cerr),
      tracks(state, port),
      editor(state, port, tracks),
      monitor(state, port, system),
      run(state, port, system, ProgrammingRun::Options{.stageIndex = false}),
      listFile(state, port, tracks, editor),
      loader(state, port, system, tracks, editor) {
    port.setText(Control::Drive1, reader);
    // The window starts with the destination flagged not ready until the monitor says so.
    port.setBackColour(Control::Label4, colour::red);
    port.bindWipeAnswers([this] { run.Command1_Click(); }, [this] { run.Command2_Click(); });
}

bool CardSession::ready() {
    monitor.Timer1_Timer();
    return port.backColour(Control::Label4) == colour::buttonFace;
}

} // namespace velk::cli
