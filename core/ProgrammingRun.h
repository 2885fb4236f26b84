#pragma once

#include "CardFiles.h"
#include "CardImage.h"
#include "CardWipe.h"
#include "RunOutcome.h"
#include "SourcePins.h"
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

/// "Programme MMC Card": stages the index, takes the card for this run alone, asks before
/// wiping the card's root folder, checks that every source can be read and is still the file
/// it was, removes the old index, moves aside the sources that lie in that root, wipes what
/// the operator was shown, copies and verifies every track, and only then writes and
/// verifies the index, each change forced to the card before the next: a card pulled at any
/// moment holds either no index or a verified one. The run yields to the window between its
/// steps and between the chunks of every copy and read-back; while it is in progress the
/// track list and the destination cannot be changed and a second run does not start. A
/// failure stops the run with a message box naming the step, the file and the system's
/// reason, and where recordings of the card were kept; it says whether the card was changed,
/// and the window goes on. How the run ended is its outcome().
class ProgrammingRun {
public:
    struct Options {
        /// The window stages a copy of the index; the command line has no use for one.
        bool stageIndex = true;
    };

    ProgrammingRun(Module1& state, FormPort& form, const SystemPort& system);
    ProgrammingRun(Module1& state, FormPort& form, const SystemPort& system, Options options);
    ~ProgrammingRun();
    ProgrammingRun(const ProgrammingRun&) = delete;
    ProgrammingRun& operator=(const ProgrammingRun&) = delete;

    void cmdFinish_Click();
    /// O.K. of the wipe confirmation.
    void Command1_Click();
    /// CANCEL of the wipe confirmation.
    void Command2_Click();

    /// Sources pinned before this run, by a call that programmes several cards: a source that
    /// no longer reaches its pinned file is refused before the card changes.
    void usePins(SourcePins pins) { m_givenPins = std::move(pins); }
    /// How the last run ended.
    [[nodiscard]] const RunOutcome& outcome() const { return m_outcome; }

private:
    void run();
    void pause();
    void stageIndex(int rows);
    void takeCard();
    [[nodiscard]] bool confirmWipe();
    void checkStillTheCard() const;
    void checkSources(int lastSlot);
    void checkRootUnchanged() const;
    void removeOldIndex();
    void keepSourcesOnTheCard(int lastSlot);
    void wipe();
    void releaseKeptSources(int lastSlot);
    void copySlot(int slot, int lastSlot);
    void showProgress(std::int64_t bytesCopied, int slot, int lastSlot);
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
    Options m_options;
    SourcePins m_givenPins;

    CardNames m_cardName;
    std::string m_destDrive;
    std::string m_root;
    std::vector<std::uint8_t> m_indexBytes;
    std::unique_ptr<CardLock> m_lock;
    /// What the operator was shown and the wipe deletes.
    std::vector<RootEntry> m_confirmed;
    SourcePins m_pins;
    std::unique_ptr<KeptSources> m_kept;
    /// Card files copied by this run and not yet forced to the device.
    std::vector<WrittenFile> m_copied;
    /// What was written to each slot's card file.
    std::map<int, ContentHash> m_written;
    /// The names of the track files this run put on the card.
    std::vector<std::string> m_tracksWritten;
    CardIdentity m_card;
    RunOutcome m_outcome;
    bool m_showingSteps = false;
    /// Set at the first change to the card: a failure after it leaves it incomplete.
    bool m_cardChanged = false;
    /// The index is on the card and must go again if the run does not end verified.
    bool m_indexOnCard = false;
};

} // namespace velk
