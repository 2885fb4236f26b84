#include "CardSession.h"

#include "core/Colours.h"
#include "core/PlatformTexts.h"
#include "core/SystemPort.h"

#include <iostream>

namespace velk::cli {

CardSession::CardSession(const SystemPort& system, const std::string& reader,
                         ConsoleOptions options)
    : m_system(system), m_reader(reader), port(options, std::cerr), tracks(state, port, system),
      editor(state, port, tracks), monitor(state, port, system),
      run(state, port, system, ProgrammingRun::Options{.stageIndex = false}),
      listFile(state, port, system, tracks, editor), loader(state, port, system, tracks, editor) {
    port.setText(Control::Drive1, reader);
    // The window starts with the destination flagged not ready until the monitor says so.
    port.setBackColour(Control::Label4, colour::red);
    port.bindWipeAnswers([this] { run.Command1_Click(); }, [this] { run.Command2_Click(); });
}

bool CardSession::ready() {
    auto tick = [this] {
        monitor.Timer1_Timer();
        return port.backColour(Control::Label4) == colour::buttonFace;
    };
    if (tick())
        return true;
    if (m_system.driveType(m_reader) != drive_type::removable)
        return false;
    // A card in the reader that nothing has mounted is mounted as a desktop would; the command
    // line has no event loop to wait for a mount asked for in the background.
    if (const std::string why = m_system.mountCard(m_reader); why != text::readerEmpty)
        mountRefusal = why;
    return tick();
}

} // namespace velk::cli
