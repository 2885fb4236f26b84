#pragma once

#include "Form1Controls.h"
#include "core/FormPort.h"
#include "ui/win32/wingui/Accessibility.h"
#include "ui/win32/wingui/Font.h"
#include "ui/win32/wingui/TabOrder.h"
#include "ui/win32/wingui/TaskbarProgress.h"

#include <array>
#include <memory>

namespace velk::win32 {

class hlpform;
class EditCtrl;
class FrameCtrl;
class ListBoxCtrl;
class ProgressCtrl;

/// The main window as the logic sees it: each Control mapped to its Win32 control.
class Form1Port : public FormPort {
public:
    static constexpr UINT_PTR timerId = 1;

    Form1Port(Form1Controls& controls, const std::unique_ptr<hlpform>& helpWindow,
              Accessibility& access);
    /// The window that owns the timer and the message boxes; set once it exists.
    void setWindow(HWND window) { m_window = window; }
    /// The window's taskbar button, which shows a run; set once the window exists.
    void setTaskbar(TaskbarProgress& taskbar) { m_taskbar = &taskbar; }
    /// The window's tab order, which leaves out what the question's frame covers.
    void setTabOrder(TabOrder& tabs) { m_tabs = &tabs; }

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

    float progress() const override;
    void setProgress(float value) override;
    void setTimer(int intervalMs, bool enabled) override;
    void refresh(Control list) override;
    void setEnabled(Control c, bool enabled) override;
    bool isEnabled(Control c) const override;

    bool yield() override;
    bool waitForEvents() override;
    void messageBox(const std::string& message) override;
    void beep() override;
    void closeHelp() override;
    void quit() override;
    void showRun(RunShown shown, float percent) override;

    /// Shows the words for every coloured state on screen as well (a high-contrast or dark
    /// scheme), or not, in `small`, which must outlive the port; paints system colours again.
    void setColoursInWords(bool inWords, const Font& small);

    [[nodiscard]] int timerInterval() const { return m_interval; }
    [[nodiscard]] bool timerEnabled() const { return m_timerOn; }

private:
    [[nodiscard]] Ctrl& control(Control c) const;
    [[nodiscard]] ListBoxCtrl& list(Control c) const;
    [[nodiscard]] EditCtrl& guidance() const;
    [[nodiscard]] FrameCtrl& frame() const;
    [[nodiscard]] ProgressCtrl& bar() const;
    void showWord(Control c, std::uint32_t colour);
    /// Tells a screen reader the state a colour shows: in the control's description where the
    /// system annotates, else in the window text of a control that does not draw it.
    void describe(Control c, std::uint32_t colour);
    /// The guidance box is a live region, named with what it says, so that a reader speaks it.
    void speakGuidance();
    /// The wipe question takes the keyboard to its safe answer; ending it gives it back.
    void ask();
    void endQuestion();
    /// Back where the focus was before the question or before its control was locked, once
    /// that control can take it, unless the operator has moved the focus since.
    void giveFocusBack();

    Form1Controls& m_c;
    std::array<Ctrl*, controlCount> m_controls{};
    const std::unique_ptr<hlpform>& m_helpWindow;
    Accessibility& m_access;
    TabOrder* m_tabs = nullptr;
    TaskbarProgress* m_taskbar = nullptr;
    HWND m_focusBefore = nullptr;
    HWND m_focusMovedTo = nullptr;
    HWND m_window = nullptr;
    bool m_ending = false;
    int m_interval = 0;
    bool m_timerOn = false;
    bool m_inWords = false;
    const Font* m_small = nullptr;
};

} // namespace velk::win32
