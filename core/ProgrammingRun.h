#pragma once

#include "CardFiles.h"
#include "CardImage.h"
#include "SystemPort.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velk {

struct Module1;
class FormPort;
class KeptSources;

/// "Programme MMC Card": stages the index, asks before wiping the card's root folder, checks
/// that every source can be read, moves aside the sources that lie in that root, wipes what
/// the operator was shown, copies and verifies every track, and only then writes and
/// verifies the index, so that a card that failed never carries one. The run yields to the
/// window between its steps; while it is in progress the track list and the destination
/// cannot be changed and a second run does not start. A failure stops the run with a message
/// box naming the step, the file and the system's reason, and where recordings of the card
/// were kept; it says whether the card was changed, and the window goes on.
class ProgrammingRun {
public:
    ProgrammingRun(Module1& state, FormPort& form, const SystemPort& system);
    ~ProgrammingRun();
    ProgrammingRun(const ProgrammingRun&) = delete;
    ProgrammingRun& operator=(const ProgrammingRun&) = delete;

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
    void checkSources(int lastSlot) const;
    void keepSourcesOnTheCard(int lastSlot);
    void releaseKeptSources(int lastSlot);
    void copySlot(int slot, int lastSlot);
    [[nodiscard]] float progressAfter(int slot, int lastSlot) const;
    void flushTracks();
    void verifyTracks(int lastSlot);
    void checkRootHoldsOnlyTracks() const;
    void writeIndexToCard();
    void withdrawIndex() const;
    void stopWriting();
    void report(const std::string& message);

    Module1& m_state;
    FormPort& m_form;
    const SystemPort& m_system;

    CardNames m_cardName;
    std::string m_destDrive;
    std::string m_root;
    std::string m_stagedIndex;
    std::vector<std::uint8_t> m_indexBytes;
    /// What the operator was shown and the wipe deletes.
    std::vector<std::string> m_confirmed;
    std::unique_ptr<KeptSources> m_kept;
    /// Card files copied by this run and not yet forced to the device.
    std::vector<WrittenFile> m_copied;
    /// What was written to each slot's card file.
    std::map<int, ContentHash> m_written;
    /// The names of the track files this run put on the card.
    std::vector<std::string> m_tracksWritten;
    CardIdentity m_card;
    bool m_showingSteps = false;
    /// Set at the first change to the card: a failure after it leaves it incomplete.
    bool m_cardChanged = false;
    /// The index is on the card and must go again if the run does not end verified.
    bool m_indexOnCard = false;
};

} // namespace velk
