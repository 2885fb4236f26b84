#include "ProgrammingRun.h"

#include "CardFiles.h"
#include "CardReader.h"
#include "CaseFold.h"
#include "Colours.h"
#include "FormPort.h"
#include "KeptSources.h"
#include "Module1.h"
#include "Paths.h"
#include "RunError.h"
#include "RunFlag.h"
#include "Sentence.h"
#include "SystemPort.h"
#include "Texts.h"
#include "WipeQuestion.h"

#include <system_error>
#include <utility>

namespace velk {

ProgrammingRun::ProgrammingRun(Module1& state, FormPort& form, const SystemPort& system)
    : ProgrammingRun(state, form, system, Options{}) {}

ProgrammingRun::ProgrammingRun(Module1& state, FormPort& form, const SystemPort& system,
                               Options options)
    : m_state(state), m_form(form), m_system(system), m_options(options) {}

ProgrammingRun::~ProgrammingRun() = default;

void ProgrammingRun::Command1_Click() {
    answerWipe(m_state, m_form, true);
}

void ProgrammingRun::Command2_Click() {
    answerWipe(m_state, m_form, false);
}

void ProgrammingRun::cmdFinish_Click() {
    if (m_state.runInProgress)
        return;
    const RunFlag flag(m_state, m_form);
    m_showingSteps = false;
    m_cardChanged = false;
    m_indexOnCard = false;
    m_kept.reset();
    m_copied.clear();
    m_tracksWritten.clear();
    m_written.clear();
    m_pins = m_givenPins;
    m_outcome = RunOutcome{};
    m_outcome.bytes = m_state.tracks.messageBytes;
    try {
        run();
    } catch (const ProgramEnding&) {
        // Nothing more may be shown; only this run's own index is taken off the card.
        stopWriting();
        m_outcome.result = RunOutcome::Result::interrupted;
    } catch (const RunError& e) {
        stopWriting();
        m_outcome.result = e.isRefusal() && !m_cardChanged ? RunOutcome::Result::refused
                                                           : RunOutcome::Result::failed;
        report(e.what());
    } catch (const std::exception& e) {
        stopWriting();
        m_outcome.result = RunOutcome::Result::failed;
        report(fill(text::programmingStopped, {{"reason", e.what()}}));
    }
    m_outcome.cardChanged = m_cardChanged;
    if (m_outcome.result != RunOutcome::Result::verified && m_kept)
        m_outcome.keptFolder = m_kept->folder();
    m_lock.reset();
}

// Files still open were never forced to the card; they are closed as they are, before the
// operator reads the failure and perhaps takes the card out.
void ProgrammingRun::stopWriting() {
    m_copied.clear();
    withdrawIndex();
}

void ProgrammingRun::pause() {
    if (!m_form.yield())
        throw ProgramEnding{};
}

void ProgrammingRun::run() {
    TrackTable& tracks = m_state.tracks;

    m_form.setText(Control::txtTEXT1, text::creatingIndex);
    m_cardName = buildCardNames();
    stageIndex(m_form.rowCount(Control::lstList1));
    m_form.setText(Control::txtTEXT1, text::downloading);
    m_form.setBackColour(Control::txtTEXT1, colour::yellow);
    pause();

    m_destDrive = m_form.text(Control::Drive1);
    if (m_form.backColour(Control::Label4) != colour::buttonFace) {
        m_form.messageBox(text::incorrectDestination);
        m_outcome.result = RunOutcome::Result::refused;
        m_outcome.message = text::incorrectDestination;
        return;
    }
    takeCard();
    // The operator is shown exactly what the wipe will delete, or nothing at all.
    attempt(text::stepListRoot, [&] { m_confirmed = rootEntries(m_system, m_root); });
    const int lastSlot = tracks.trackCount;
    std::vector<std::string> sources;
    for (int slot = 1; slot <= lastSlot; ++slot)
        sources.push_back(tracks.slot(slot).srcPath);
    m_kept = std::make_unique<KeptSources>(m_system, m_root, m_confirmed, sources);
    if (!confirmWipe()) {
        m_outcome.result = RunOutcome::Result::cancelled;
        return;
    }

    m_showingSteps = true;
    // The operator may have pulled the card or changed cards while the question was open.
    checkStillTheCard();
    checkSources(lastSlot);
    checkRootUnchanged();

    // From here on the card changes, each change forced to it before the next, so that a card
    // pulled at any moment shows either no index or a verified one: the old index goes first.
    removeOldIndex();
    keepSourcesOnTheCard(lastSlot);
    m_form.setText(Control::Label7, text::deletingFiles);
    pause();
    m_form.setProgress(0.0f);
    checkStillTheCard();
    wipe();

    tracks.copiedBytes = 0;
    for (int slot = 1; slot <= lastSlot; ++slot)
        copySlot(slot, lastSlot);
    flushTracks();
    verifyTracks(lastSlot);
    checkRootHoldsOnlyTracks();

    m_form.setText(Control::Label7, text::copyingIndex);
    pause();
    writeIndexToCard();
    releaseKeptSources(lastSlot);
    m_outcome.result = RunOutcome::Result::verified;

    m_form.messageBox(text::downloadComplete);
    m_form.setText(Control::txtTEXT1,
                   fill(text::removeCard, {{"bytes", std::to_string(m_outcome.bytes)}}));
    m_form.setBackColour(Control::txtTEXT1, colour::yellow);
    m_form.setText(Control::Label7, "");
    m_form.setProgress(0.0f);
}

// The card gets the bytes built here, not the staged file, which another window may rewrite.
void ProgrammingRun::stageIndex(int rows) {
    TrackTable& tracks = m_state.tracks;
    if (!m_options.stageIndex) {
        tracks.trackCount = static_cast<std::int16_t>(rows);
        m_indexBytes = indexBytes(tracks, m_cardName);
        return;
    }
    attempt(text::stepWriteIndex, [&] {
        m_indexBytes =
            writeIndexFile(m_system, tracks, rows, m_cardName, stagedIndexPath(m_system));
    });
}

// From the listing of its root to the end of the run the card is this run's alone.
void ProgrammingRun::takeCard() {
    const RootFolder root = m_system.rootFolder(m_destDrive);
    if (root.status != RootFolder::Status::ok)
        throw RunError::refusal(text::stepOpenDestination, m_destDrive,
                                root.reason.empty() ? text::noLongerAnswers : root.reason);
    m_root = root.path;
    // What is asked about is this card: another one in its place later is refused.
    const std::optional<CardIdentity> card = m_system.cardIdentity(m_root);
    if (!card)
        throw RunError::refusal(text::stepOpenDestination, m_destDrive, text::noLongerAnswers);
    m_card = *card;
    std::error_code ec;
    m_lock = m_system.lockCard(m_root, ec);
    if (!m_lock)
        throw RunError::refusal(text::stepOpenDestination, m_destDrive,
                                ec == std::errc::device_or_resource_busy ? text::cardBeingProgrammed
                                                                         : m_system.describe(ec));
}

// A source that cannot be read, is no longer the file it was, or copies that cannot fit,
// would stop the run after the wipe, for nothing. Recordings kept aside on the card free
// nothing.
void ProgrammingRun::checkSources(int lastSlot) {
    std::vector<std::uint64_t> sizes{m_indexBytes.size()};
    for (int slot = 1; slot <= lastSlot; ++slot) {
        const std::string& source = m_state.tracks.slot(slot).srcPath;
        if (source.empty())
            continue;
        // A pipe or a device of that name would hold the open, or never end.
        const MeasuredSize size = measureFile(m_system, source, [this] { pause(); });
        if (!size.ok())
            throw RunError::refusal(text::stepOpenSource, source, size.error);
        if (const std::string why = m_pins.pin(m_system, source); !why.empty())
            throw RunError::refusal(text::stepOpenSource, source, why);
        sizes.push_back(static_cast<std::uint64_t>(size.bytes));
    }
    const std::optional<SpaceCounts> space = m_system.diskSpace(m_destDrive);
    if (!space)
        return;
    std::vector<RootEntry> freed;
    for (const RootEntry& entry : m_confirmed)
        if (!m_kept->keeps(entry.name))
            freed.push_back(entry);
    const Room room = roomAfterWipe(*space, freed, sizes);
    if (room.needed > room.free)
        throw RunError::refusal(text::stepCheckRoom, m_destDrive,
                                fill(text::roomRefused, {{"needed", std::to_string(room.needed)},
                                                         {"free", std::to_string(room.free)}}));
}

// The wipe deletes what the operator was shown: a root that holds anything else now is
// asked about again, with the card as it was.
void ProgrammingRun::checkRootUnchanged() const {
    std::string changed;
    attempt(text::stepListRoot,
            [&] { changed = changedSinceListed(m_system, m_root, m_confirmed); });
    if (!changed.empty())
        throw RunError::refusal(text::stepListRoot, joinPath(m_root, changed),
                                text::changedSinceListed);
}

void ProgrammingRun::removeOldIndex() {
    for (const RootEntry& entry : m_confirmed) {
        if (!sameIgnoringCase(entry.name, indexFileName))
            continue;
        checkStillTheCard();
        attempt(text::stepRemoveIndex,
                [&] { deleteListed(m_system, m_root, entry, [this] { pause(); }); });
        m_cardChanged = true;
    }
    if (m_cardChanged)
        if (const std::error_code ec = m_system.flushFolder(m_root))
            throw RunError(text::stepSave, m_root, m_system.describe(ec));
}

// The wipe would delete a source that lives in the card's root before it is copied back.
// The slot then names where its recording is now, so that a run after a failed one copies
// the same recording, not whatever has taken its old name meanwhile.
void ProgrammingRun::keepSourcesOnTheCard(int lastSlot) {
    checkStillTheCard();
    attempt(text::stepStage, [&] { m_kept->keepAll(m_cardChanged); });
    for (int slot = 1; slot <= lastSlot; ++slot) {
        std::string& source = m_state.tracks.slot(slot).srcPath;
        const std::string kept = m_kept->pathFor(source);
        if (kept == source)
            continue;
        if (const std::optional<EntryStamp> file = m_system.fileStamp(kept))
            m_pins.repin(kept, *file);
        m_form.setText(Control::Label7, text::keepingPrefix + source);
        source = kept;
        pause();
    }
}

void ProgrammingRun::wipe() {
    std::vector<RootEntry> entries = m_confirmed;
    attempt(text::stepDummy,
            [&] { entries.push_back(placeDummyFile(m_system, m_root, m_cardChanged)); });
    m_cardChanged = true;
    attempt(text::stepDelete, [&] { wipeRoot(m_system, m_root, entries, [this] { pause(); }); });
    if (const std::error_code ec = m_system.flushFolder(m_root))
        throw RunError(text::stepSave, m_root, m_system.describe(ec));
}

// The recordings that were kept aside are gone now; each lives on in its slot's card file.
void ProgrammingRun::releaseKeptSources(int lastSlot) {
    for (int slot = 1; slot <= lastSlot; ++slot) {
        std::string& source = m_state.tracks.slot(slot).srcPath;
        if (m_kept->moved(source))
            source = cardFilePath(m_root, m_cardName[slot]);
    }
    m_kept->release();
}

// Anything else in the root was put there during the run by someone else: the card would
// not hold what the operator programmed.
void ProgrammingRun::checkRootHoldsOnlyTracks() const {
    std::string stranger;
    attempt(text::stepCheckRoot,
            [&] { stranger = firstFileNotAmong(m_system, m_root, m_tracksWritten); });
    if (!stranger.empty())
        throw RunError(text::stepCheckRoot, joinPath(m_root, stranger), text::notWrittenByRun);
}

void ProgrammingRun::writeIndexToCard() {
    const std::string cardIndex = joinPath(m_root, indexFileName);
    checkStillTheCard();
    WrittenFile index;
    m_indexOnCard = true;
    attempt(text::stepCopyIndex, [&] { index = writeFile(m_system, m_indexBytes, cardIndex); });
    attempt(text::stepSave, [&] { flushToCard(m_system, index); });
    if (const std::error_code ec = m_system.flushFolder(m_root))
        throw RunError(text::stepSave, m_root, m_system.describe(ec));
    m_form.setText(Control::Label7, std::string(text::verifyingPrefix) + indexFileName);
    pause();
    checkStillTheCard();
    attempt(text::stepVerify, [&] { verifyBytes(m_system, cardIndex, m_indexBytes); });
    m_indexOnCard = false;
}

// A card that failed must not look programmed to the player or to "Load list from card".
void ProgrammingRun::withdrawIndex() const {
    if (!m_indexOnCard)
        return;
    removeCardFile(m_system, joinPath(m_root, indexFileName));
    (void)m_system.flushFolder(m_root);
}

bool ProgrammingRun::confirmWipe() {
    const std::optional<bool> wipe =
        askToWipe(m_state, m_form, {m_destDrive, m_card.label, m_root, m_confirmed, *m_kept});
    if (!wipe)
        throw ProgramEnding{};
    return *wipe;
}

void ProgrammingRun::checkStillTheCard() const {
    if (const std::string why = whyNotTheCard(m_system, m_destDrive, m_root, m_card); !why.empty())
        throw RunError(text::stepCheckCard, m_destDrive, why);
}

void ProgrammingRun::report(const std::string& message) {
    m_outcome.message = message;
    m_form.setText(Control::txtTEXT1,
                   m_cardChanged ? text::failedCardIncomplete : text::failedCardUnchanged);
    m_form.setBackColour(Control::txtTEXT1, colour::red);
    // A stale step caption would read as if the run were still going.
    if (m_showingSteps) {
        m_form.setText(Control::Label7, "");
        m_form.setProgress(0.0f);
    }
    const std::string kept = m_kept ? m_kept->folder() : std::string();
    m_form.messageBox(kept.empty() ? message : message + "\n" + text::keptSourcesIn + kept);
}

} // namespace velk
