#pragma once

#include "core/FormPort.h"

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace velk::test {

/// A window double that keeps every property in memory and lets a test act as the
/// operator during each yield.
class FakeForm : public FormPort {
public:
    FakeForm();

    std::string text(Control c) const override;
    void setText(Control c, const std::string& value) override;
    std::uint32_t backColour(Control c) const override;
    void setBackColour(Control c, std::uint32_t colour) override;
    bool isVisible(Control c) const override;
    void setVisible(Control c, bool visible) override;

    int rowCount(Control list) const override;
    std::string rowText(Control list, int row) const override;
    int selectedRow(Control list) const override;
    void addRow(Control list, const std::string& row) override;
    void removeRow(Control list, int row) override;
    void clearRows(Control list) override;

    float progress() const override { return m_progress; }
    void setProgress(float value) override;
    void setTimer(int intervalMs, bool enabled) override;
    void refresh(Control list) override { refreshed.push_back(list); }
    void setEnabled(Control c, bool enabled) override { m_enabled[c] = enabled; }
    bool isEnabled(Control c) const override;

    bool yield() override;
    bool waitForEvents() override;
    void messageBox(const std::string& message) override;
    void beep() override { ++beeps; }
    void closeHelp() override { ++helpCloses; }
    void quit() override;
    void showRun(RunShown shown, float percent) override { runsShown.emplace_back(shown, percent); }

    /// Rows of a list as a vector, for comparisons.
    std::vector<std::string> rows(Control list) const;
    void select(Control list, int row) { m_selected[list] = row; }

    /// Runs at every yield and every wait; the test plays the operator here.
    std::function<void(FakeForm&)> onYield;
    /// Runs when a message box is shown (after it is recorded).
    std::function<void(FakeForm&, const std::string&)> onMessageBox;
    /// Once set, yields report that the program is ending.
    bool ending = false;
    /// A wait that nobody answers would spin for ever; a test fails instead.
    int maxWaits = 100000;

    int yields = 0;
    int waits = 0;
    int beeps = 0;
    int helpCloses = 0;
    /// The timer's state, and how often help had been closed, when quit() was called.
    bool timerEnabledAtQuit = false;
    int helpClosesAtQuit = 0;
    int quits = 0;
    std::vector<Control> refreshed;
    std::vector<std::pair<RunShown, float>> runsShown;
    int timerInterval = 0;
    bool timerEnabled = false;
    /// True while the controls that a run locks are disabled.
    bool runInProgress() const { return !isEnabled(Control::cmdFinish); }
    std::vector<std::string> messages;
    std::vector<std::string> label7History;
    std::vector<float> progressHistory;
    std::vector<std::string> setTextLog; ///< "Control=value" of every Dir1/File2 setText

private:
    std::map<Control, std::string> m_text;
    std::map<Control, std::uint32_t> m_colour;
    std::map<Control, bool> m_visible;
    std::map<Control, std::vector<std::string>> m_rows;
    std::map<Control, int> m_selected;
    std::map<Control, bool> m_enabled;
    float m_progress = 0.0f;
};

} // namespace velk::test
