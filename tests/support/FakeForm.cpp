#include "FakeForm.h"

#include "core/Colours.h"

#include <stdexcept>

namespace velk::test {

FakeForm::FakeForm() {
    m_colour[Control::txtTEXT1] = colour::yellow;
    m_colour[Control::Label4] = colour::red;
    for (Control c : {Control::cmdDel, Control::cmdMode0, Control::cmdMode1, Control::cmdMode2})
        m_colour[c] = colour::buttonFace;
    m_visible[Control::Frame1] = false;
}

std::string FakeForm::text(Control c) const {
    auto it = m_text.find(c);
    return it == m_text.end() ? std::string() : it->second;
}

void FakeForm::setText(Control c, const std::string& value) {
    m_text[c] = value;
    if (c == Control::Label7)
        label7History.push_back(value);
    if (c == Control::Dir1 || c == Control::File2)
        setTextLog.push_back((c == Control::Dir1 ? "Dir1=" : "File2=") + value);
}

std::uint32_t FakeForm::backColour(Control c) const {
    auto it = m_colour.find(c);
    return it == m_colour.end() ? colour::buttonFace : it->second;
}

void FakeForm::setBackColour(Control c, std::uint32_t colour) {
    m_colour[c] = colour;
}

bool FakeForm::isVisible(Control c) const {
    auto it = m_visible.find(c);
    return it == m_visible.end() || it->second;
}

void FakeForm::setVisible(Control c, bool visible) {
    m_visible[c] = visible;
}

int FakeForm::rowCount(Control list) const {
    auto it = m_rows.find(list);
    return it == m_rows.end() ? 0 : static_cast<int>(it->second.size());
}

std::string FakeForm::rowText(Control list, int row) const {
    auto it = m_rows.find(list);
    if (it == m_rows.end() || row < 0 || row >= static_cast<int>(it->second.size()))
        return {};
    return it->second[static_cast<std::size_t>(row)];
}

bool FakeForm::isEnabled(Control c) const {
    auto it = m_enabled.find(c);
    return it == m_enabled.end() || it->second;
}

int FakeForm::selectedRow(Control list) const {
    auto it = m_selected.find(list);
    return it == m_selected.end() ? -1 : it->second;
}

void FakeForm::addRow(Control list, const std::string& row) {
    m_rows[list].push_back(row);
}

void FakeForm::removeRow(Control list, int row) {
    auto& rows = m_rows[list];
    if (row < 0 || row >= static_cast<int>(rows.size()))
        throw std::out_of_range("FakeForm::removeRow");
    rows.erase(rows.begin() + row);
    m_selected[list] = -1;
}

void FakeForm::clearRows(Control list) {
    m_rows[list].clear();
    m_selected[list] = -1;
}

void FakeForm::setProgress(float value) {
    m_progress = value;
    progressHistory.push_back(value);
}

void FakeForm::setTimer(int intervalMs, bool enabled) {
    timerInterval = intervalMs;
    timerEnabled = enabled;
}

void FakeForm::quit() {
    ++quits;
    timerEnabledAtQuit = timerEnabled;
    helpClosesAtQuit = helpCloses;
    ending = true;
}

bool FakeForm::yield() {
    ++yields;
    if (onYield)
        onYield(*this);
    return !ending;
}

bool FakeForm::waitForEvents() {
    if (++waits > maxWaits)
        throw std::runtime_error("FakeForm: the wait was never answered");
    return yield();
}

void FakeForm::messageBox(const std::string& message) {
    messages.push_back(message);
    if (onMessageBox)
        onMessageBox(*this, message);
}

std::vector<std::string> FakeForm::rows(Control list) const {
    auto it = m_rows.find(list);
    return it == m_rows.end() ? std::vector<std::string>{} : it->second;
}

} // namespace velk::test
