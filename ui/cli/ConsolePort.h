#pragma once

#include "core/FormPort.h"

#include <functional>
#include <iosfwd>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace velk::cli {

/// How the console takes the place of the window's operator.
struct ConsoleOptions {
    bool yes = false; ///< --yes answers the wipe question O.K.
    bool ask = false; ///< the input is a terminal that can answer it
};

/// The window of the command line: keeps the controls' properties, tells whoever listens of
/// the run's step and progress, and answers the wipe question from the terminal. Each card of
/// a call has one, on a thread of its own; they ask their questions one at a time.
class ConsolePort : public FormPort {
public:
    ConsolePort(ConsoleOptions options, std::ostream& err);

    /// The run's O.K. and CANCEL, which the answer to the wipe question clicks.
    void bindWipeAnswers(std::function<void()> ok, std::function<void()> cancel);
    /// Called with the step (Label7) and the progress whenever either changes.
    std::function<void(const std::string& step, float percent)> onProgress;
    /// True while some card's question waits on the terminal: nothing else may draw there.
    [[nodiscard]] static bool asking();
    /// Held by whoever writes to the terminal more than a line: a question, a redraw.
    [[nodiscard]] static std::mutex& terminal();

    [[nodiscard]] const std::vector<std::string>& messages() const { return m_messages; }
    /// True when a wipe question came with no terminal to ask and no --yes.
    [[nodiscard]] bool wipeRefused() const { return m_wipeRefused; }
    /// True once Ctrl+C, a closed terminal or a SIGTERM came: from then on every yield tells
    /// the run that the program is ending.
    [[nodiscard]] static bool interrupted();

    [[nodiscard]] std::string text(Control c) const override;
    void setText(Control c, const std::string& value) override;
    [[nodiscard]] std::uint32_t backColour(Control c) const override;
    void setBackColour(Control c, std::uint32_t colour) override;
    [[nodiscard]] bool isVisible(Control c) const override;
    void setVisible(Control c, bool visible) override { m_visible[c] = visible; }

    [[nodiscard]] int rowCount(Control list) const override;
    [[nodiscard]] std::string rowText(Control list, int row) const override;
    [[nodiscard]] int selectedRow(Control) const override { return -1; }
    void addRow(Control list, const std::string& row) override { m_rows[list].push_back(row); }
    void removeRow(Control list, int row) override;
    void clearRows(Control list) override { m_rows[list].clear(); }

    [[nodiscard]] float progress() const override { return m_progress; }
    void setProgress(float value) override;
    void setTimer(int, bool) override {}
    // The command line has no drive list, help window or event loop of its own.
    void refresh(Control) override {}
    void setEnabled(Control c, bool enabled) override { m_enabled[c] = enabled; }
    [[nodiscard]] bool isEnabled(Control c) const override;

    [[nodiscard]] bool yield() override;
    [[nodiscard]] bool waitForEvents() override;
    void messageBox(const std::string& message) override;
    void beep() override {}
    void closeHelp() override {}
    void quit() override {}

private:
    void answerWipe();
    [[nodiscard]] const std::vector<std::string>& rows(Control list) const;
    void tellProgress();

    ConsoleOptions m_options;
    std::ostream& m_err;
    std::function<void()> m_ok;
    std::function<void()> m_cancel;
    std::map<Control, std::string> m_text;
    std::map<Control, std::uint32_t> m_colour;
    std::map<Control, bool> m_visible;
    std::map<Control, bool> m_enabled;
    std::map<Control, std::vector<std::string>> m_rows;
    std::vector<std::string> m_messages;
    float m_progress = 0.0f;
    bool m_wipeRefused = false;
};

} // namespace velk::cli
