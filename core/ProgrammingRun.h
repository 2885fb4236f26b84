#pragma once

#include "CardImage.h"
#include "SystemPort.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velk {

struct Module1;
class FormPort;
class SourceStaging;

/// "Programme MMC Card": stages the index, asks before wiping the card's root folder, wipes
/// it, copies every track and the index to the card, and reads everything back from the card
/// before it reports the card done. The run yields to the window between its steps; while it
/// is in progress the track list and the destination cannot be changed and a second run does
/// not start. A failure stops the run with a message box naming the step, the file and the
/// system's reason, says whether the card was changed, and the window goes on.
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
    void keepSourcesOnTheCard(int lastSlot, SourceStaging& staging);
    void copySlot(int slot, int lastSlot, const SourceStaging& staging);
    [[nodiscard]] float progressAfter(int slot, int lastSlot) const;
    void verifyCard(int lastSlot, const SourceStaging& staging);
    void report(const std::string& message);

    Module1& m_state;
    FormPort& m_form;
    const SystemPort& m_system;

    CardNames m_cardName;
    std::string m_destDrive;
    std::string m_root;
    std::string m_stagedIndex;
    std::vector<std::uint8_t> m_indexBytes;
    /// Card files copied by this run and not yet forced to the device.
    std::vector<std::string> m_copied;
    CardIdentity m_card;
    bool m_showingSteps = false;
    /// Set just before the first change to the card: a failure after it leaves it incomplete.
    bool m_cardChanged = false;
};

} // namespace velk
