#pragma once

#include "core/HelpHandlers.h"
#include "core/HelpPort.h"

#include <QWidget>

#include <array>

class QPlainTextEdit;
class QRadioButton;

namespace velk::qt {

/// The help window: nine topic buttons and the text of the chosen topic, read from the
/// topic files installed with the program, or in the current folder of a program that has
/// none installed (platform/HelpFolder.h). Modeless and owned by the main window; its controls
/// come from core/HelpDesign.h and its buttons are bound to core's handlers.
class hlpform : public QWidget, private HelpPort {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(hlpform)
public:
    /// `owner` is the main window: the help window stays above it and closes with it.
    explicit hlpform(QWidget* owner);

    /// Loads the window (topic 1, folder taken anew) unless it is open; then brings it up.
    void display();

    [[nodiscard]] HelpHandlers& handlers() { return m_handlers; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void checkTopic(int topic) override;
    void showTopic(const std::string& text, const std::string& placeholder) override;

    std::array<QRadioButton*, HelpTopic::count> m_hbut{};
    QPlainTextEdit* m_text1 = nullptr;
    HelpHandlers m_handlers{*this};
};

} // namespace velk::qt
