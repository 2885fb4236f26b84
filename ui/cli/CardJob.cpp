#include "CardJob.h"

#include "CardSession.h"

#include "core/CardCheck.h"
#include "core/CardReader.h"
#include "core/Colours.h"
#include "core/CommandLineTexts.h"
#include "core/Paths.h"
#include "core/Sentence.h"
#include "core/Texts.h"
#include "platform/System.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <utility>

namespace velk::cli {

namespace {

const char* resultWord(RunOutcome::Result result) {
    switch (result) {
    case RunOutcome::Result::verified:
        return text::resultVerified;
    case RunOutcome::Result::cancelled:
        return text::resultCancelled;
    case RunOutcome::Result::interrupted:
        return text::resultInterrupted;
    case RunOutcome::Result::failed:
        return text::resultFailed;
    case RunOutcome::Result::refused:
    case RunOutcome::Result::none:
        break;
    }
    return text::resultRefused;
}

} // namespace

CardJob::CardJob(std::string card, std::string reader, const CardOrder& order, Reporter& reporter)
    : m_reader(std::move(reader)), m_order(order), m_reporter(reporter),
      m_index(reporter.add(card, order.bytes)) {
    m_result.card = std::move(card);
    m_result.result = text::resultRefused;
    m_result.sentence = text::failedCardUnchanged;
}

CardJob::~CardJob() {
    join();
}

void CardJob::start() {
    m_thread = std::thread([this] { run(); });
}

void CardJob::join() {
    if (m_thread.joinable())
        m_thread.join();
}

void CardJob::run() {
    const auto start = std::chrono::steady_clock::now();
    try {
        // A system of the card's own: nothing of one card's answers is shared with another's.
        const std::unique_ptr<SystemPort> system = makeSystem();
        programme(*system);
        if (m_order.eject && m_result.good())
            eject(*system);
    } catch (const std::exception& e) {
        m_result.complaints.push_back(fill(text::programmingStopped, {{"reason", e.what()}}));
        m_result.result = text::resultFailed;
    }
    m_result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m_reporter.result(m_index, m_result);
    m_done = true;
}

// The card-state sentence is the run's own; before the run starts nothing has touched the card.
void CardJob::programme(const SystemPort& system) {
    CardSession session(system, m_reader, m_order.console);
    ConsolePort& port = session.port;
    if (!session.ready()) {
        m_result.complaints.push_back(port.text(Control::Label4));
        if (!session.mountRefusal.empty())
            m_result.complaints.push_back(session.mountRefusal);
        if (const std::string why = whyNoCard(system, m_reader); !why.empty())
            m_result.complaints.push_back(why);
        return;
    }
    if (!session.listFile.load(m_order.tracks)) {
        m_result.complaints.push_back(port.text(Control::txtTEXT1));
        return;
    }
    m_result.bytes = session.state.tracks.messageBytes;
    if (m_order.leaveIfHeld) {
        const RootFolder root = system.rootFolder(m_reader);
        session.state.tracks.trackCount =
            static_cast<std::int16_t>(port.rowCount(Control::lstList1));
        if (root.status == RootFolder::Status::ok &&
            cardDifferences(system, root.path, session.state.tracks).empty()) {
            m_result.result = text::resultUnchanged;
            m_result.sentence = text::cliAlreadyHeld;
            return;
        }
    }
    session.run.usePins(m_order.pins);
    // The run's steps only; before it the gauge speaks of the list, not of the card.
    port.onProgress = [this](const std::string& step, float percent) {
        m_reporter.progress(m_index, step, percent);
    };
    session.run.cmdFinish_Click();
    const RunOutcome& outcome = session.run.outcome();
    m_result.outcome = outcome;
    m_result.result = resultWord(outcome.result);
    if (!outcome.message.empty())
        m_result.complaints.push_back(outcome.keptFolder.empty()
                                          ? outcome.message
                                          : outcome.message + "\n" + text::keptSourcesIn +
                                                outcome.keptFolder);
    switch (outcome.result) {
    case RunOutcome::Result::verified:
        m_result.sentence = text::cliVerifiedPrefix + port.text(Control::txtTEXT1);
        break;
    case RunOutcome::Result::interrupted:
        m_result.sentence =
            outcome.cardChanged ? text::cliInterruptedIncomplete : text::cliInterruptedUnchanged;
        break;
    case RunOutcome::Result::cancelled:
        m_result.sentence = port.wipeRefused() ? text::cliWipeNeedsYes : text::cliCancelled;
        break;
    case RunOutcome::Result::failed:
        m_result.sentence =
            outcome.cardChanged ? text::failedCardIncomplete : text::failedCardUnchanged;
        break;
    case RunOutcome::Result::refused:
    case RunOutcome::Result::none:
        break;
    }
}

// Safe to pull: the line says so, or why not while the card still holds what it was given.
void CardJob::eject(const SystemPort& system) {
    if (const std::string why = system.ejectCard(m_reader); !why.empty()) {
        m_result.complaints.push_back(
            fill(text::ejectFailed, {{"drive", m_result.card}, {"reason", why}}));
        m_result.sentence += text::cliNotEjected;
        return;
    }
    m_result.sentence += text::cliEjected;
}

} // namespace velk::cli
