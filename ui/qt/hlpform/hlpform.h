#pragma once

#include <QWidget>

#include <array>
#include <filesystem>

class QPlainTextEdit;
class QRadioButton;

namespace velk::qt {

/// The help window: nine topic buttons and the text of the chosen topic, read from the
/// topic files installed with the program, or in the current folder of a program that has
/// none installed (platform/HelpFolder.h). Modeless and owned by the main window.
class hlpform : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(hlpform)
public:
    /// `owner` is the main window: the help window stays above it and closes with it.
    explicit hlpform(QWidget* owner);

    /// Loads the window (topic 1, folder taken anew) unless it is open; then brings it up.
    void display();

    void Form_Load();
    void hbut1_Click();
    void hbut2_Click();
    void hbut3_Click();
    void hbut4_Click();
    void hbut5_Click();
    void hbut6_Click();
    void hbut7_Click();
    void hbut8_Click();
    void hbut9_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseTopic(int topic);
    void dsphlp();

    std::array<QRadioButton*, 9> m_hbut{};
    QPlainTextEdit* m_text1 = nullptr;
    std::filesystem::path m_helpFolder;
    std::filesystem::path m_helpPath;
};

} // namespace velk::qt
