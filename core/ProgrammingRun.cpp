#include "ProgrammingRun.h"

#include "CardFiles.h"
#include "Colours.h"
#include "FormPort.h"
#include "Module1.h"
#include "Paths.h"
#include "KeptSources.h"
#include "SystemPort.h"
#include "Texts.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <limits>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace velk {

namespace {

/// A step of the run that failed, worded for the operator.
class RunError : public std::runtime_error {
public:
    RunError(const std::string& step, const std::string& path, const std::string& reason,
             const std::string& target = {})
        : std::runtime_error(compose(step, path, reason, target)) {}

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
    : m_state(state), m_form(form), m_system(system) {}

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
    try {
        run();
    } catch (const ProgramEnding&) {
        // Nothing more may be shown; only this run's own index is taken off the card.
        stopWriting();
    } catch (const RunError& e) {
        stopWriting();
        report(e.what());
    } catch (const std::exception& e) {
        stopWriting();
        report(std::string(text::programmingStopped) + text::runReasonSeparator + e.what());
    }
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
    const std::int32_t bytesAtStart = tracks.messageBytes;

    m_form.setText(Control::txtTEXT1, text::creatingIndex);
    m_cardName = buildCardNames();
    attempt(text::stepWriteIndex, [&] {
        m_stagedIndex = stagedIndexPath();
        m_indexBytes =
            writeIndexFile(tracks, m_form.rowCount(Control::lstList1), m_cardName, m_stagedIndex);
    });
    m_form.setText(Control::txtTEXT1, text::downloading);
    m_form.setBackColour(Control::txtTEXT1, colour::yellow);
    pause();

    m_destDrive = m_form.text(Control::Drive1);
    if (m_form.backColour(Control::Label4) != colour::buttonFace) {
        m_form.messageBox(text::incorrectDestination);
        return;
    }
    const RootFolder root = m_system.rootFolder(m_destDrive);
    if (root.status != RootFolder::Status::ok)
        throw RunError(text::stepOpenDestination, m_destDrive,
                       root.reason.empty() ? text::noLongerAnswers : root.reason);
    m_root = root.path;
    // What is asked about is this card: another one in its place later is refused.
    const std::optional<CardIdentity> card = m_system.cardIdentity(m_root);
    if (!card)
        throw RunError(text::stepOpenDestination, m_destDrive, text::noLongerAnswers);
    m_card = *card;

    // The operator is shown exactly what the wipe will delete, or nothing at all.
    attempt(text::stepListRoot, [&] { m_confirmed = rootFiles(m_root); });
    if (!confirmWipe())
        return;

    m_showingSteps = true;
    // The operator may have pulled the card or changed cards while the question was open.
    checkStillTheCard();
    const int lastSlot = tracks.trackCount;
    checkSources(lastSlot);
    m_kept = std::make_unique<KeptSources>(m_system, m_root, m_confirmed);
    keepSourcesOnTheCard(lastSlot);

    m_form.setText(Control::Label7, text::deletingFiles);
    pause();
    m_form.setProgress(0.0f);
    checkStillTheCard();

    attempt(text::stepDummy, [&] { placeDummyFile(m_system, m_root, m_cardChanged); });
    m_confirmed.emplace_back(dummyFileName);
    m_cardChanged = true;
    attempt(text::stepDelete, [&] { wipeRoot(m_root, m_confirmed); });

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

    m_form.messageBox(text::downloadComplete);
    m_form.setText(Control::txtTEXT1, text::removeCardPrefix + std::to_string(bytesAtStart) +
                                          text::removeCardSuffix);
    m_form.setBackColour(Control::txtTEXT1, colour::yellow);
    m_form.setText(Control::Label7, "");
    m_form.setProgress(0.0f);
}

// A source that cannot be read, or copies that cannot fit, would stop the run after the
// wipe, for nothing. The room is what is free now and what the wipe frees, in whole clusters;
// recordings kept aside on the card free nothing.
void ProgrammingRun::checkSources(int lastSlot) const {
    const std::optional<SpaceCounts> space = m_system.diskSpace(m_destDrive);
    const std::uint64_t cluster = space ? std::uint64_t{space->sectorsPerCluster} * space->bytesPerSector : 1;
    auto clusters = [&](std::uint64_t bytes) { return (bytes + cluster - 1) / cluster * cluster; };

    std::uint64_t needed = clusters(m_indexBytes.size());
    std::vector<std::string> sources;
    for (int slot = 1; slot <= lastSlot; ++slot) {
        const std::string& source = m_state.tracks.slot(slot).srcPath;
        if (source.empty())
            continue;
        // A pipe or a device of that name would hold the open, or never end.
        const MeasuredSize size = measureFile(source);
        if (!size.ok())
            throw RunError(text::stepOpenSource, source, size.error);
        needed += clusters(static_cast<std::uint64_t>(size.bytes));
        sources.push_back(source);
    }
    if (!space)
        return;
    std::uint64_t room = std::uint64_t{space->freeClusters} * cluster;
    for (const std::string& name : m_confirmed) {
        const std::string entry = joinPath(m_root, name);
        const MeasuredSize size = measureFile(entry);
        const bool kept = std::any_of(sources.begin(), sources.end(),
                                      [&](const std::string& source) { return m_system.sameFile(source, entry); });
        if (size.ok() && !kept && !std::filesystem::is_symlink(fsPath(entry)))
            room += clusters(static_cast<std::uint64_t>(size.bytes));
    }
    if (needed > room)
        throw RunError(text::stepCheckRoom, m_destDrive,
                       std::to_string(needed) + text::roomNeeded + std::to_string(room) + text::roomFree);
}

// The wipe would delete a source that lives in the card's root before it is copied back.
// The slot then names where its recording is now, so that a run after a failed one copies
// the same recording, not whatever has taken its old name meanwhile.
void ProgrammingRun::keepSourcesOnTheCard(int lastSlot) {
    for (int slot = 1; slot <= lastSlot; ++slot) {
        std::string& source = m_state.tracks.slot(slot).srcPath;
        checkStillTheCard();
        attempt(text::stepStage, [&] { m_kept->keep(source, m_cardChanged); });
        if (const std::string kept = m_kept->pathFor(source); kept != source) {
            m_form.setText(Control::Label7, text::keepingPrefix + source);
            source = kept;
            pause();
        }
    }
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
        attempt(text::stepSave, [&] { flushToCard(written); });
    m_copied.clear();
    if (const std::error_code ec = m_system.flushFolder(m_root))
        throw RunError(text::stepSave, m_root, ec.message());
}

// Anything else in the root was put there during the run by someone else: the card would
// not hold what the operator programmed.
void ProgrammingRun::checkRootHoldsOnlyTracks() const {
    std::vector<std::string> names;
    attempt(text::stepCheckRoot, [&] { names = rootFiles(m_root); });
    // A FAT card may show the names in another case than they were written in.
    auto written = [&](const std::string& name) {
        return std::any_of(m_tracksWritten.begin(), m_tracksWritten.end(), [&](const std::string& track) {
            return std::equal(name.begin(), name.end(), track.begin(), track.end(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
            });
        });
    };
    for (const std::string& name : names)
        if (!written(name))
            throw RunError(text::stepCheckRoot, joinPath(m_root, name), text::notWrittenByRun);
}

void ProgrammingRun::writeIndexToCard() {
    const std::string cardIndex = joinPath(m_root, indexFileName);
    checkStillTheCard();
    // The bytes built by this run, not the staged file, which another run may have rewritten.
    WrittenFile index;
    m_indexOnCard = true;
    attempt(text::stepCopyIndex, [&] { index = writeFile(m_system, m_indexBytes, cardIndex); });
    attempt(text::stepSave, [&] { flushToCard(index); });
    if (const std::error_code ec = m_system.flushFolder(m_root))
        throw RunError(text::stepSave, m_root, ec.message());
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
                       m_written.at(slot));
        });
    }
}

bool ProgrammingRun::confirmWipe() {
    m_form.setText(Control::File2, m_root);
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

// Every sub-step reads the slot afresh, as another handler may have run in the yield before.
void ProgrammingRun::copySlot(int slot, int lastSlot) {
    TrackTable& tracks = m_state.tracks;

    if (!tracks.slot(slot).srcPath.empty()) {
        m_form.setText(Control::Label7, text::copyingPrefix + tracks.slot(slot).srcPath);
        pause();
    }

    if (const std::string source = m_kept->pathFor(tracks.slot(slot).srcPath); !source.empty()) {
        std::error_code ec;
        const std::uintmax_t size = std::filesystem::file_size(fsPath(source), ec);
        if (ec)
            throw RunError(text::stepMeasure, source, ec.message());
        constexpr auto largest = static_cast<std::uintmax_t>(std::numeric_limits<std::int32_t>::max());
        const auto copied = static_cast<std::uintmax_t>(tracks.copiedBytes);
        if (size > largest || copied + size > largest)
            throw RunError(text::stepCount, source, text::countOverflow);
        tracks.copiedBytes = static_cast<std::int32_t>(copied + size);
        pause();
    }

    if (const std::string source = m_kept->pathFor(tracks.slot(slot).srcPath); !source.empty()) {
        const std::string target = cardFilePath(m_root, m_cardName[slot]);
        // A pulled card leaves its mount folder behind, which must not receive the copies.
        checkStillTheCard();
        attempt(text::stepCopy, [&] { m_copied.push_back(copyFile(m_system, source, target)); });
        m_tracksWritten.push_back(m_cardName[slot]);
        m_written[slot] = m_copied.back().content;
        pause();
    }

    m_form.setProgress(progressAfter(slot, lastSlot));
    pause();
}

float ProgrammingRun::progressAfter(int slot, int lastSlot) const {
    const TrackTable& tracks = m_state.tracks;
    // Only empty files make the total 0; the share of slots done still moves the bar to 100.
    if (tracks.messageBytes <= 0)
        return static_cast<float>(static_cast<double>(slot) / lastSlot * 100.0);
    return static_cast<float>(static_cast<double>(tracks.copiedBytes) / tracks.messageBytes * 100.0);
}

void ProgrammingRun::report(const std::string& message) {
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
