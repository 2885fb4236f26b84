#include "Reporter.h"

#include "ConsolePort.h"

#include "core/CommandLineTexts.h"
#include "core/Texts.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>

namespace velk::cli {

namespace {

using Clock = std::chrono::steady_clock;
using nlohmann::json;

// File names need not be valid UTF-8; JSON must be.
std::string dumped(const json& object) {
    return object.dump(-1, ' ', false, json::error_handler_t::replace);
}

/// The step as a line has room for it: a copy by its file's name, not its whole path.
std::string shortStep(const std::string& step) {
    const std::string copying = text::copyingPrefix;
    if (!step.starts_with(copying))
        return step;
    const std::size_t slash = step.find_last_of("/\\");
    return copying + (slash == std::string::npos || slash < copying.size()
                          ? step.substr(copying.size())
                          : step.substr(slash + 1));
}

std::string fixed(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

} // namespace

bool CardResult::good() const {
    return result == text::resultVerified || result == text::resultUnchanged;
}

Reporter::Reporter(Mode mode, std::ostream& out, std::ostream& err)
    : m_mode(mode), m_out(out), m_err(err) {}

int Reporter::add(const std::string& card, std::int64_t bytes) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_cards.push_back({card, {}, 0, bytes, {}, false, {}});
    return static_cast<int>(m_cards.size()) - 1;
}

void Reporter::progress(int index, const std::string& step, float percent) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    Card& card = m_cards.at(static_cast<std::size_t>(index));
    const bool newStep = step != card.step;
    const bool newPercent = std::floor(percent) != std::floor(card.percent);
    if (newStep && step.starts_with(text::copyingPrefix) && card.copyStarted == Clock::time_point{})
        card.copyStarted = Clock::now();
    card.step = step;
    card.percent = percent;
    if (step.empty())
        return;
    if (m_mode == Mode::lines && newStep)
        m_err << card.name << text::runReasonSeparator << step << '\n' << std::flush;
    if (m_mode == Mode::json && (newStep || newPercent))
        m_out << dumped({{"event", "progress"},
                         {"card", card.name},
                         {"step", step},
                         {"percent", std::floor(percent)}})
              << '\n'
              << std::flush;
}

void Reporter::result(int index, const CardResult& result) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    Card& card = m_cards.at(static_cast<std::size_t>(index));
    card.done = true;
    card.result = result;
    if (m_mode == Mode::json) {
        json object = {{"event", "result"},       {"card", result.card},
                       {"result", result.result}, {"cardChanged", result.outcome.cardChanged},
                       {"bytes", result.bytes},   {"seconds", std::round(result.seconds * 10) / 10},
                       {"line", result.sentence}};
        if (!result.complaints.empty())
            object["messages"] = result.complaints;
        if (!result.outcome.keptFolder.empty())
            object["keptFolder"] = result.outcome.keptFolder;
        m_out << dumped(object) << '\n' << std::flush;
        return;
    }
    std::unique_lock<std::mutex> writing(ConsolePort::terminal(), std::defer_lock);
    if (m_mode == Mode::terminal) {
        writing.lock();
        // Off the terminal's live lines first, so that the result stands above them.
        if (m_linesDrawn > 0 && !ConsolePort::asking())
            m_err << "\x1b[" << m_linesDrawn << "F\x1b[J" << std::flush;
        m_linesDrawn = 0;
    }
    for (const std::string& complaint : result.complaints)
        m_err << text::cliName << text::runReasonSeparator << result.card
              << text::runReasonSeparator << complaint << '\n';
    m_err << std::flush;
    m_out << result.card << text::runReasonSeparator << result.sentence << '\n' << std::flush;
}

void Reporter::idle(const std::string& words) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_idle = words;
}

std::string Reporter::line(const Card& card) const {
    std::string text = card.name + "  " + (card.step.empty() ? "..." : shortStep(card.step));
    if (card.step.empty())
        return text;
    text += "  " + std::to_string(static_cast<int>(std::clamp(card.percent, 0.0f, 100.0f))) + "%";
    const double seconds = std::chrono::duration<double>(Clock::now() - card.copyStarted).count();
    if (card.copyStarted != Clock::time_point{} && seconds > 0.5 && card.percent < 100.0f) {
        const double copied = card.percent / 100.0 * static_cast<double>(card.bytes);
        const double rate = copied / seconds;
        text += "  " + fixed(rate / 1e6, 1) + " MB/s";
        if (rate > 0) {
            const auto left = static_cast<long>((static_cast<double>(card.bytes) - copied) / rate);
            text += "  " + std::to_string(left / 60) + ":" + (left % 60 < 10 ? "0" : "") +
                    std::to_string(left % 60) + " left";
        }
    }
    return text;
}

void Reporter::draw() {
    if (m_mode != Mode::terminal)
        return;
    const std::lock_guard<std::mutex> writing(ConsolePort::terminal());
    // A question below the lines: they stay as they are, and new ones start under it.
    if (ConsolePort::asking()) {
        m_linesDrawn = 0;
        return;
    }
    std::string block;
    std::size_t lines = 0;
    for (const Card& card : m_cards)
        if (!card.done) {
            block += line(card).substr(0, 79) + "\x1b[K\n";
            ++lines;
        }
    if (lines == 0 && !m_idle.empty()) {
        block += m_idle + "\x1b[K\n";
        ++lines;
    }
    if (m_linesDrawn > 0)
        m_err << "\x1b[" << m_linesDrawn << 'F';
    m_err << block;
    if (lines < m_linesDrawn)
        m_err << "\x1b[J";
    m_err << std::flush;
    m_linesDrawn = lines;
}

void Reporter::refresh() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    draw();
}

void Reporter::finish() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_mode != Mode::terminal)
        return;
    const std::lock_guard<std::mutex> writing(ConsolePort::terminal());
    if (m_linesDrawn > 0)
        m_err << "\x1b[" << m_linesDrawn << "F\x1b[J";
    m_linesDrawn = 0;
    m_err << text::summaryHeading << '\n';
    for (const Card& card : m_cards)
        if (card.done)
            m_err << card.name << '\t' << card.result.result << '\t' << card.result.bytes << '\t'
                  << fixed(card.result.seconds, 1) << '\n';
    m_err << std::flush;
}

} // namespace velk::cli
