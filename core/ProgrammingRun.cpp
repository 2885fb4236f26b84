#include "ProgrammingRun.h"

#include "CardFiles.h"
#include "Colours.h"
#include "FilePattern.h"
#include "FormPort.h"
#include "KeptSources.h"
#include "Module1.h"
#include "Paths.h"
#include "SystemPort.h"
#include "Texts.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace velk {

namespace {

/// A step of the run that failed, worded for the operator. A refusal is a check that stopped
/// the run before it changed anything; a failure is a step that did not get done.
class RunError : public std::runtime_error {
public:
    RunError(const std::string& step, const std::string& path, const std::string& reason,
             const std::string& target = {})
        : std::runtime_error(compose(step, path, reason, target)) {}

    static RunError refusal(const std::string& step, const std::string& path, const std::string& reason) {
        RunError e(step, path, reason);
        e.m_refusal = true;
        return e;
    }
    [[nodiscard]] bool isRefusal() const { return m_refusal; }

private:
    static std::string compose(const std::string& step, const std::string& path,
                               const std::string& reason, const std::string& target) {
        std::string message = step + text::runFailed;
        if (!path.empty()) {
            message += path;
            if (!target.empty())
                message += text::runArrow + target;
            message += text::runReasonSeparator;
        }
        return message + reason;
    }

    bool m_refusal = false;
};

/// The program is ending: the run stops where it is, touching nothing more.
struct ProgramEnding {};

template <typename Operation>
void attempt(const char* step, Operation&& operation) {
    try {
        std::forward<Operation>(operation)();
    } catch (const CardError& e) {
        throw RunError(step, e.path(), e.reason(), e.target());
    } catch (const std::out_of_range& e) {
        throw RunError(step, {}, e.what());
    }
}

bool sameNameIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

/// What a run locks: everything that edits the track list, starts a run, or changes the
/// destination the run is writing to.
constexpr Control lockedDuringRun[] = {Control::File1,    Control::lstList1, Control::cmdDel,
                                       Control::cmdMode0, Control::cmdMode1, Control::cmdMode2,
                                       Control::newbut,   Control::cmdFinish, Control::Drive1};

/// Holds the run-in-progress flag for exactly as long as the run lasts, however it ends.
class RunFlag {
public:
    RunFlag(Module1& state, FormPort& form) : m_state(state), m_form(form) { set(true); }
    ~RunFlag() { set(false); }
    RunFlag(const RunFlag&) = delete;
    RunFlag& operator=(const RunFlag&) = delete;

private:
    void set(bool running) {
        m_state.runInProgress = running;
        for (const Control c : lockedDuringRun)
            m_form.setEnabled(c, !running);
    }

    Module1& m_state;
    FormPort& m_form;
};

} // namespace

ProgrammingRun::ProgrammingRun(Module1& state, FormPort& form, const SystemPort& system)
    : ProgrammingRun(state, form, system, Options{}) {}

ProgrammingRun::ProgrammingRun(Module1& state, FormPort& form, const SystemPort& system, Options options)
    : m_state(state), m_form(form), m_system(system), m_options(options) {}

ProgrammingRun::~ProgrammingRun() = default;

void ProgrammingRun::Command1_Click() {
    m_state.edit.editState = 1;
    m_form.setVisible(Control::Frame1, false);
}

void ProgrammingRun::Command2_Click() {
    m_state.edit.editState = 0;
    m_form.setVisible(Control::Frame1, false);
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
        report(std::string(text::programmingStopped) + text::runReasonSeparator + e.what());
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
    m_form.setText(Control::txtTEXT1, text::removeCardPrefix + std::to_string(m_outcome.bytes) +
                                          text::removeCardSuffix);
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
// would stop the run after the wipe, for nothing. The room is what is free now and what the
// wipe frees, in whole clusters; recordings kept aside on the card free nothing.
void ProgrammingRun::checkSources(int lastSlot) {
    const std::optional<SpaceCounts> space = m_system.diskSpace(m_destDrive);
    const std::uint64_t cluster = space ? std::uint64_t{space->sectorsPerCluster} * space->bytesPerSector : 1;
    auto clusters = [&](std::uint64_t bytes) { return (bytes + cluster - 1) / cluster * cluster; };

    std::uint64_t needed = clusters(m_indexBytes.size());
    for (int slot = 1; slot <= lastSlot; ++slot) {
        const std::string& source = m_state.tracks.slot(slot).srcPath;
        if (source.empty())
            continue;
        // A pipe or a device of that name would hold the open, or never end.
        const MeasuredSize size = measureFile(m_system, source);
        if (!size.ok())
            throw RunError::refusal(text::stepOpenSource, source, size.error);
        if (const std::string why = m_pins.pin(m_system, source); !why.empty())
            throw RunError::refusal(text::stepOpenSource, source, why);
        needed += clusters(static_cast<std::uint64_t>(size.bytes));
    }
    if (!space)
        return;
    std::vector<RootEntry> freed;
    for (const RootEntry& entry : m_confirmed)
        if (!m_kept->keeps(entry.name))
            freed.push_back(entry);
    const std::uint64_t room = std::uint64_t{space->freeClusters} * cluster + bytesFreed(freed, cluster);
    if (needed > room)
        throw RunError::refusal(text::stepCheckRoom, m_destDrive,
                                std::to_string(needed) + text::roomNeeded + std::to_string(room) + text::roomFree);
}

// The wipe deletes what the operator was shown: a root that holds anything else now is
// asked about again, with the card as it was.
void ProgrammingRun::checkRootUnchanged() const {
    std::string changed;
    attempt(text::stepListRoot, [&] { changed = changedSinceListed(m_system, m_root, m_confirmed); });
    if (!changed.empty())
        throw RunError::refusal(text::stepListRoot, joinPath(m_root, changed), text::changedSinceListed);
}

void ProgrammingRun::removeOldIndex() {
    for (const RootEntry& entry : m_confirmed) {
        if (!sameNameIgnoringCase(entry.name, indexFileName))
            continue;
        checkStillTheCard();
        attempt(text::stepRemoveIndex, [&] { deleteListed(m_system, m_root, entry); });
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
    attempt(text::stepDummy, [&] { entries.push_back(placeDummyFile(m_system, m_root, m_cardChanged)); });
    m_cardChanged = true;
    attempt(text::stepDelete, [&] { wipeRoot(m_system, m_root, entries); });
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

// Through the descriptors that wrote them, once the card is known to be the same one; the
// folder's entries follow, so that a verified file is also a file the card can find.
void ProgrammingRun::flushTracks() {
    checkStillTheCard();
    for (WrittenFile& written : m_copied)
        attempt(text::stepSave, [&] { flushToCard(m_system, written); });
    m_copied.clear();
    if (const std::error_code ec = m_system.flushFolder(m_root))
        throw RunError(text::stepSave, m_root, m_system.describe(ec));
}

// Anything else in the root was put there during the run by someone else: the card would
// not hold what the operator programmed.
void ProgrammingRun::checkRootHoldsOnlyTracks() const {
    std::vector<std::string> names;
    attempt(text::stepCheckRoot, [&] {
        std::error_code ec;
        names = folderFiles(m_root, ec);
        if (ec)
            throw CardError(m_root, m_system.describe(ec));
    });
    // A FAT card may show the names in another case than they were written in.
    for (const std::string& name : names)
        if (std::none_of(m_tracksWritten.begin(), m_tracksWritten.end(),
                         [&](const std::string& track) { return sameNameIgnoringCase(name, track); }))
            throw RunError(text::stepCheckRoot, joinPath(m_root, name), text::notWrittenByRun);
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
    removeCardFile(joinPath(m_root, indexFileName));
    (void)m_system.flushFolder(m_root);
}

// Only what the device gives back counts: a copy that the cache still holds proves nothing.
void ProgrammingRun::verifyTracks(int lastSlot) {
    const TrackTable& tracks = m_state.tracks;
    for (int slot = 1; slot <= lastSlot; ++slot) {
        const std::string source = tracks.slot(slot).srcPath;
        if (source.empty())
            continue;
        m_form.setText(Control::Label7, text::verifyingPrefix + m_cardName[slot]);
        pause();
        checkStillTheCard();
        attempt(text::stepVerify, [&] {
            verifyFile(m_system, cardFilePath(m_root, m_cardName[slot]), m_kept->pathFor(source),
                       m_written.at(slot), [this](std::uint64_t) { pause(); });
        });
    }
}

bool ProgrammingRun::confirmWipe() {
    showRootFiles();
    m_state.edit.editState = 0;
    m_form.beep();
    m_form.setVisible(Control::Frame1, true);
    // Only O.K. or CANCEL hides the frame; until then sleep in the event loop.
    while (m_form.isVisible(Control::Frame1)) {
        if (!m_form.waitForEvents())
            throw ProgramEnding{};
    }
    return m_state.edit.editState != 0;
}

// The question names the card, which the frame hides in the drive list, and lists exactly
// what the wipe deletes, marking what this run keeps and copies from instead.
void ProgrammingRun::showRootFiles() {
    m_form.setText(Control::File2, m_root);
    std::vector<std::string> names;
    for (const RootEntry& entry : m_confirmed)
        names.push_back(entry.name);
    m_form.clearRows(Control::File2);
    for (const std::string& name : matchingFiles(std::move(names), "*.*"))
        m_form.addRow(Control::File2, m_kept->keeps(name) ? name + text::keptForRun : name);
    std::string card = text::cardAsked + m_destDrive;
    if (!m_card.label.empty())
        card += "  \"" + m_card.label + "\"";
    m_form.setText(Control::labCard, card);
}

void ProgrammingRun::checkStillTheCard() const {
    if (m_system.driveType(m_destDrive) != drive_type::removable)
        throw RunError(text::stepCheckCard, m_destDrive, text::noLongerRemovable);
    if (!m_system.diskSpace(m_destDrive))
        throw RunError(text::stepCheckCard, m_destDrive, text::noLongerAnswers);
    const RootFolder now = m_system.rootFolder(m_destDrive);
    if (now.status != RootFolder::Status::ok || now.path != m_root)
        throw RunError(text::stepCheckCard, m_destDrive,
                       now.status == RootFolder::Status::ok || now.reason.empty()
                           ? text::rootChanged
                           : now.reason);
    if (m_system.cardIdentity(m_root) != m_card)
        throw RunError(text::stepCheckCard, m_destDrive, text::otherCard);
}

void ProgrammingRun::copySlot(int slot, int lastSlot) {
    TrackTable& tracks = m_state.tracks;
    const std::string source = tracks.slot(slot).srcPath;
    const std::int32_t before = tracks.copiedBytes;

    if (!source.empty()) {
        m_form.setText(Control::Label7, text::copyingPrefix + source);
        pause();

        const MeasuredSize size = measureFile(m_system, source);
        if (!size.ok())
            throw RunError(text::stepMeasure, source, size.error);
        constexpr std::int64_t largest = std::numeric_limits<std::int32_t>::max();
        if (size.bytes + before > largest)
            throw RunError(text::stepCount, source, text::countOverflow);
        tracks.copiedBytes = static_cast<std::int32_t>(before + size.bytes);
        pause();

        const std::string target = cardFilePath(m_root, m_cardName[slot]);
        // A pulled card leaves its mount folder behind, which must not receive the copies.
        checkStillTheCard();
        const EntryStamp* pinned = m_pins.find(source);
        attempt(text::stepCopy, [&] {
            m_copied.push_back(copyFile(m_system, source, target,
                                        pinned ? std::optional<EntryStamp>(*pinned) : std::nullopt,
                                        [&](std::uint64_t done) {
                                            // The whole track is shown once it is copied.
                                            if (static_cast<std::int64_t>(done) < size.bytes)
                                                showProgress(before + static_cast<std::int64_t>(done), slot,
                                                             lastSlot);
                                            pause();
                                        }));
        });
        m_tracksWritten.push_back(m_cardName[slot]);
        m_written[slot] = m_copied.back().content;
        pause();
    }

    showProgress(tracks.copiedBytes, slot, lastSlot);
    pause();
}

// By bytes, so that the bar moves within a long track too; only empty files make the total 0,
// and then the share of slots done still moves the bar to 100.
void ProgrammingRun::showProgress(std::int64_t bytesCopied, int slot, int lastSlot) {
    const std::int32_t total = m_state.tracks.messageBytes;
    m_form.setProgress(total <= 0 ? static_cast<float>(static_cast<double>(slot) / lastSlot * 100.0)
                                  : static_cast<float>(static_cast<double>(bytesCopied) / total * 100.0));
}

void ProgrammingRun::report(const std::string& message) {
    m_outcome.message = message;
    m_form.setText(Control::txtTEXT1, m_cardChanged ? text::failedCardIncomplete : text::failedCardUnchanged);
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
