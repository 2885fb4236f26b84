#pragma once

#include "CardImage.h"

#include <string>

namespace velk {

struct Module1;
class FormPort;
class SystemPort;

/// "Programme MMC Card": stages the index, asks before wiping the card's root folder, wipes
/// it, copies every track and the index to the card. The run yields to the window between
/// its steps; while it is in progress the track list cannot be edited and a second run does
/// not start. A failure stops the run with a message box naming the step, the file and the
/// system's reason, and the window goes on.
class ProgrammingRun {
public:
    ProgrammingRun(Module1& state, FormPort& form, const SystemPort& system);

    void cmdFinish_Click();
    /// O.K. of the wipe confirmation.
    void Command1_Click();
    /// CANCEL of the wipe confirmation.
    void Command2_Click();

private:
    void run();
    void pause();
    [[nodiscard]] bool confirmWipe();
    void checkStillTheCard() const;
    void copySlot(int slot, int lastSlot);
    [[nodiscard]] float progressAfter(int slot, int lastSlot) const;
    void save(const std::string& path) const;
    void report(const std::string& message);

    Module1& m_state;
    FormPort& m_form;
    const SystemPort& m_system;

    CardNames m_cardName;
    std::string m_destDrive;
    std::string m_root;
    std::string m_stagedIndex;
    bool m_showingSteps = false;
};

} // namespace velk
