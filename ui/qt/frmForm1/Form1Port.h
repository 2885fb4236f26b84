#pragma once

#include "Form1Controls.h"
#include "core/FormPort.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <utility>
#include <vector>

namespace velk::qt {

/// The main window as the logic sees it: each Control mapped to its widget.
class Form1Port : public FormPort {
public:
    Form1Port(QWidget& window, const Form1Controls& controls);

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

    /// Shows the words for every coloured state on screen as well (a dark palette), or not.
    void setColoursInWords(bool inWords);

private:
    void showWord(Control c, std::uint32_t colour);
    /// The wipe question takes the keyboard to its safe answer; ending it gives it back.
    void ask();
    void endQuestion();
    /// Back where the focus was before the question or before its control was locked, once
    /// that control can take it, unless the operator has moved the focus since.
    void giveFocusBack();
    [[nodiscard]] QWidget* widget(Control c) const;
    [[nodiscard]] QListWidget* list(Control c) const;

    QWidget& m_window;
    Form1Controls m_c;
    std::array<QWidget*, controlCount> m_widgets{};
    bool m_ending = false;
    bool m_inWords = false;
    QPointer<QWidget> m_focusBefore;
    QPointer<QWidget> m_focusMovedTo;
    std::vector<std::pair<QWidget*, Qt::FocusPolicy>> m_covered;
};

} // namespace velk::qt
