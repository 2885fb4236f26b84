#pragma once

// A programming run over the real WindowsSystem, under Wine with E: a removable card, driven
// through FakeForm: one track listed, the card holding an old recording and a note.

#include "core/Colours.h"
#include "core/FormPort.h"
#include "core/Module1.h"
#include "core/ProgrammingRun.h"
#include "platform/windows/WindowsSystem.h"

#include "support/Bytes.h"
#include "support/FakeForm.h"
#include "support/TempFolder.h"
#include "support/WineCard.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace velk::test {

/// Every file in the card's root with its bytes.
inline std::map<std::string, std::string> cardFiles() {
    std::map<std::string, std::string> files;
    std::error_code empty;
    for (const auto& entry : std::filesystem::directory_iterator(L"E:\\", empty))
        if (entry.is_regular_file())
            files[utf8Of(entry.path().filename())] = readBytes(entry.path());
    return files;
}

class RunOnCardE : public testing::Test {
protected:
    void SetUp() override {
        if (::GetDriveTypeA("E:\\") != DRIVE_REMOVABLE)
            GTEST_SKIP() << "E: is no removable drive here; the test runs under Wine with the "
                            "drives that tests/platform/CMakeLists.txt gives it";
        if (const std::string why = whyNoWineCard(); !why.empty())
            GTEST_SKIP() << why;
        // A folder another case left too deep to remove stays: the wipe keeps folders.
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(L"E:\\", ec))
            std::filesystem::remove_all(entry.path(), ec);
        writeBytes(L"E:\\OLD.MP3", pattern(40'000, 7));
        writeBytes(L"E:\\NOTES.TXT", "notes");

        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_work.path());
        m_form.setText(Control::Drive1, "e:");
        m_form.setBackColour(Control::Label4, colour::buttonFace);
    }
    void TearDown() override {
        if (!m_previous.empty())
            std::filesystem::current_path(m_previous);
    }

    /// Lists `source` (UTF-8) as track 1 of `bytes` bytes.
    void listTrack(const std::string& source, std::int64_t bytes) {
        m_state.tracks.slot(1).srcPath = source;
        m_state.tracks.slot(1).trackNo = 1;
        m_state.tracks.trackCount = 1;
        m_state.tracks.messageBytes = bytes;
        m_form.addRow(Control::lstList1, "track.mp3");
        m_form.addRow(Control::lstList2, "1");
        m_form.addRow(Control::lstListMode, "0");
    }

    TempFolder m_work{"run-on-e"};
    std::filesystem::path m_previous;
    Module1 m_state;
    FakeForm m_form;
    WindowsSystem m_system;
    ProgrammingRun m_run{m_state, m_form, m_system};
};

} // namespace velk::test
