#include "ConsolePort.h"

#include "core/CommandLineTexts.h"
#include "core/Texts.h"
#include "platform/Terminal.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <ostream>

namespace velk::cli {

namespace {

std::mutex oneQuestionAtATime;
std::mutex terminalWriter;
std::atomic<bool> questionOpen = false;

} // namespace

ConsolePort::ConsolePort(ConsoleOptions options, std::ostream& err)
    : m_options(options), m_err(err) {}

void ConsolePort::bindWipeAnswers(std::function<void()> ok, std::function<void()> cancel) {
    m_ok = std::move(ok);
    m_cancel = std::move(cancel);
}

bool ConsolePort::interrupted() {
    return interruptCount() > 0;
}

const std::vector<std::string>& ConsolePort::rows(Control list) const {
    static const std::vector<std::string> none;
    const auto it = m_rows.find(list);
    return it == m_rows.end() ? none : it->second;
}

std::string ConsolePort::text(Control c) const {
    const auto it = m_text.find(c);
    return it == m_text.end() ? std::string() : it->second;
}

void ConsolePort::setText(Control c, const std::string& value) {
    m_text[c] = value;
    if (c == Control::Label7)
        tellProgress();
}

std::uint32_t ConsolePort::backColour(Control c) const {
    const auto it = m_colour.find(c);
    return it == m_colour.end() ? 0 : it->second;
}

void ConsolePort::setBackColour(Control c, std::uint32_t colour) {
    m_colour[c] = colour;
}

bool ConsolePort::isVisible(Control c) const {
    const auto it = m_visible.find(c);
    return it != m_visible.end() && it->second;
}

int ConsolePort::rowCount(Control list) const {
    const auto it = m_rows.find(list);
    return it == m_rows.end() ? 0 : static_cast<int>(it->second.size());
}

std::string ConsolePort::rowText(Control list, int row) const {
    const auto it = m_rows.find(list);
    if (it == m_rows.end() || row < 0 || row >= static_cast<int>(it->second.size()))
        return {};
    return it->second[static_cast<std::size_t>(row)];
}

void ConsolePort::removeRow(Control list, int row) {
    auto& rows = m_rows[list];
    if (row >= 0 && row < static_cast<int>(rows.size()))
        rows.erase(rows.begin() + row);
}

void ConsolePort::setProgress(float value) {
    m_progress = value;
    tellProgress();
}

bool ConsolePort::isEnabled(Control c) const {
    const auto it = m_enabled.find(c);
    return it == m_enabled.end() || it->second;
}

bool ConsolePort::yield() {
    return !interrupted();
}

bool ConsolePort::waitForEvents() {
    if (isVisible(Control::Frame1) && !interrupted())
        answerWipe();
    return !interrupted();
}

bool ConsolePort::asking() {
    return questionOpen;
}

std::mutex& ConsolePort::terminal() {
    return terminalWriter;
}

// The window names the card and shows its root files in the frame above the warning; so does
// the terminal, for one card at a time.
void ConsolePort::answerWipe() {
    bool ok = m_options.yes;
    if (!ok && m_options.ask) {
        const std::lock_guard<std::mutex> oneAtATime(oneQuestionAtATime);
        std::unique_lock<std::mutex> writing(terminalWriter);
        questionOpen = true;
        m_err << text(Control::labCard) << "  " << text(Control::File2) << '\n';
        for (const std::string& row : rows(Control::File2))
            m_err << "  " << row << '\n';
        if (rows(Control::File2).empty())
            m_err << "  " << text::cliRootEmpty << '\n';
        m_err << text::deleteWarning << '\n' << text::cliWipeQuestion << std::flush;
        writing.unlock();
        std::string answer;
        (void)readAnswer(answer);
        ok = answer == "y" || answer == "Y" || answer == "yes";
        questionOpen = false;
    } else if (!ok) {
        m_wipeRefused = true;
    }
    if (ok)
        m_ok();
    else
        m_cancel();
}

void ConsolePort::messageBox(const std::string& message) {
    m_messages.push_back(message);
}

void ConsolePort::tellProgress() {
    if (onProgress)
        onProgress(text(Control::Label7), m_progress);
}

} // namespace velk::cli
