// A card programmed end to end on Windows: the real window over the real drive answers, under
// Wine with E: a removable drive of 64,000,000 bytes. The card holds junk and a folder; three
// tracks, one an .nvr and two from a folder with letters outside the ANSI code page, get modes
// 0, 2 and 1; Programme MMC Card, then O.K.
#include "core/CardMonitor.h"
#include "core/Texts.h"
#include "platform/System.h"
#include "ui/win32/WindowDriver.h"
#include "ui/win32/frmForm1/OkMessageBox.h"

#include "support/Bytes.h"
#include "support/CardIndex.h"
#include "support/WineCard.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

using namespace velk;
using namespace velk::test::win32window;

namespace {

namespace fs = std::filesystem;

using velk::test::indexFor;
using velk::test::pattern;
using velk::test::readBytes;
using velk::test::writeBytes;

/// Each entry of a folder: a file's bytes, or "<folder>" for a folder.
std::map<std::string, std::string> contentsOf(const fs::path& folder) {
    std::map<std::string, std::string> out;
    for (const auto& entry : fs::directory_iterator(folder))
        out[utf8Of(entry.path().filename())] =
            entry.is_directory() ? std::string("<folder>") : readBytes(entry.path());
    return out;
}

class CardRun : public ::testing::Test {
protected:
    void SetUp() override {
        if (GetDriveTypeA("e:\\") != DRIVE_REMOVABLE)
            GTEST_SKIP() << "E: is no removable drive; the test runs under Wine with the drives "
                            "that tests/e2e/win32/CMakeLists.txt gives it";
        if (const std::string why = test::whyNoWineCard(); !why.empty())
            GTEST_SKIP() << why;
        // An empty drive root has no "." entry, and libstdc++ then reports the folder missing.
        std::error_code empty;
        for (const auto& entry : fs::directory_iterator(m_card, empty))
            fs::remove_all(entry.path());
        writeBytes(m_card / "JUNK.TXT", "junk");
        writeBytes(m_card / "old.mp3", pattern(70'000, 9));
        writeBytes(m_card / "M0000009.MP3", pattern(1000, 8));
        writeBytes(m_card / "HIDDEN.SYS", "hidden");
        ASSERT_TRUE(SetFileAttributesW((m_card / "HIDDEN.SYS").c_str(),
                                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
        fs::create_directory(m_card / "KEEP");
        writeBytes(m_card / "KEEP" / "inside.mp3", "kept");

        m_sources = {pattern(300'000, 1), pattern(200'001, 2), pattern(123'457, 3)};
        writeBytes(m_work.path() / "eins.mp3", m_sources[0]);
        writeBytes(m_work.path() / "notes.txt", "not a track");
        fs::create_directory(m_work.path() / fromUtf8(m_folder));
        writeBytes(m_work.path() / fromUtf8(m_folder) / "zwei.nvr", m_sources[1]);
        writeBytes(m_work.path() / fromUtf8(m_folder) / "drei.mp3", m_sources[2]);

        // The program starts in its own folder, where it stages the index.
        m_previous = fs::current_path();
        fs::current_path(m_work.path());
        win32::OkMessageBox::setAnswerer([this](const std::string& m) { m_messages.push_back(m); });
        m_system = makeSystem();
        m_form = std::make_unique<win32::frmForm1>(*m_system);
        m_form->show();
        active = this;
    }
    void TearDown() override {
        active = nullptr;
        m_form.reset();
        win32::OkMessageBox::setAnswerer({});
        forgetQuit();
        if (!m_previous.empty())
            fs::current_path(m_previous);
    }

    const win32::Form1Controls& k() const { return m_form->controls(); }
    void add(const std::string& name) {
        const int row = findRow(k().get<win32::FileList>("File1"), name);
        ASSERT_GE(row, 0) << name << " is not listed";
        doubleClickRow(k().get<win32::FileList>("File1"), row);
    }
    void whenAsked(std::function<void()> answer) {
        m_answer = std::move(answer);
        SetTimer(nullptr, 0, 20, &CardRun::tick);
    }
    static void CALLBACK tick(HWND, UINT, UINT_PTR id, DWORD) {
        if (!active || !active->k().get<win32::FrameCtrl>("Frame1").isVisible())
            return;
        KillTimer(nullptr, id);
        active->m_asked = rows(active->k().get<win32::FileList>("File2"));
        active->m_answer();
    }
    /// Runs `act` as soon as the run shows `caption` in Label7, before it goes on: a timer
    /// would fire only at a yield that comes late enough after its last tick.
    void whenShowing(std::string caption, std::function<void()> act) {
        m_caption = std::move(caption);
        m_act = std::move(act);
        SetWindowSubclass(k().get<win32::LabelCtrl>("Label7").hwnd(), &CardRun::captionSet, 0, 0);
    }
    static LRESULT CALLBACK captionSet(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR) {
        const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
        if (message == WM_SETTEXT && active &&
            active->k().get<win32::LabelCtrl>("Label7").text() == active->m_caption) {
            RemoveWindowSubclass(hwnd, &CardRun::captionSet, id);
            active->m_act();
        }
        return result;
    }

    static inline CardRun* active = nullptr;
    std::string m_caption;
    std::function<void()> m_act;
    const fs::path m_card = L"E:\\";
    const std::string m_folder = "Ansagen B\u00fcro \u65e5\u672c";
    TempFolder m_work{"work"};
    std::vector<std::string> m_sources;
    fs::path m_previous;
    std::unique_ptr<SystemPort> m_system;
    std::unique_ptr<win32::frmForm1> m_form;
    std::vector<std::string> m_messages;
    std::vector<std::string> m_asked;
    std::function<void()> m_answer;
};

TEST_F(CardRun, OkLeavesExactlyTheTracksAndTheIndexBesideTheFolder) {
    // A track is taken only while a card with room for it is in the destination drive.
    pickDrive(k().get<win32::DriveList>("Drive1"), "e:");
    m_form->handlers().Timer1_Timer();
    if (const auto bytes = test::wineCardBytes()) {
        EXPECT_EQ(m_form->handlers().state().cardBytes,
                  static_cast<std::int64_t>(*bytes) - CardMonitor::reserve);
    }
    // The source lists start in the program's folder.
    EXPECT_EQ(rows(k().get<win32::FileList>("File1")), (std::vector<std::string>{"eins.mp3"}));
    add("eins.mp3");
    doubleClickRow(k().get<win32::FolderList>("Dir1"),
                   findRow(k().get<win32::FolderList>("Dir1"), m_folder));
    ASSERT_EQ(k().get<win32::FolderList>("Dir1").path(),
              utf8Of(m_work.path() / fromUtf8(m_folder)));
    EXPECT_EQ(rows(k().get<win32::FileList>("File1")),
              (std::vector<std::string>{"drei.mp3", "zwei.nvr"}));
    add("zwei.nvr");
    add("drei.mp3");
    click(k().get<win32::ColourButton>("cmdMode2"));
    selectRow(k().get<win32::ListBoxCtrl>("lstList1"), 1);
    click(k().get<win32::ColourButton>("cmdMode1"));
    selectRow(k().get<win32::ListBoxCtrl>("lstList1"), 2);
    ASSERT_EQ(rows(k().get<win32::ListBoxCtrl>("lstListMode")),
              (std::vector<std::string>{"0", "2", "1"}))
        << k().get<win32::EditCtrl>("txtTEXT1").text();

    whenAsked([this] { click(k().get<win32::ButtonCtrl>("Command1")); });
    click(k().get<win32::ButtonCtrl>("cmdFinish"));

    EXPECT_EQ(m_messages, std::vector<std::string>{text::downloadComplete});
    for (const char* junk : {"JUNK.TXT", "old.mp3", "M0000009.MP3"})
        EXPECT_NE(std::find(m_asked.begin(), m_asked.end(), junk), m_asked.end())
            << junk << " was not shown before the wipe";
    const std::string index = indexFor({0, 2, 1});
    const std::map<std::string, std::string> expected = {
        {"INDEX123.VKM", index},        {"M0000001.MP3", m_sources[0]},
        {"M0000002.MP3", m_sources[1]}, {"M0000003.MP3", m_sources[2]},
        {"KEEP", "<folder>"},
    };
    const auto card = contentsOf(m_card);
    EXPECT_EQ(card.size(), expected.size());
    for (const auto& [name, bytes] : card) {
        const auto it = expected.find(name);
        if (it == expected.end())
            ADD_FAILURE() << name << " is left on the card";
        else
            EXPECT_TRUE(bytes == it->second) << name << " differs: " << bytes.size() << " bytes";
    }
    EXPECT_EQ(readBytes(m_work.path() / "INDEX123.VKM"), index) << "the staged index";
    EXPECT_EQ(contentsOf(m_card / "KEEP"),
              (std::map<std::string, std::string>{{"inside.mp3", "kept"}}));
}

// The card fills up during the copies: another program takes the room in a folder the wipe
// keeps, after the run found enough. The operator reads why in the system's own words, in the
// system's language, and that the card is not ready. The Japanese run
// (test_windows_card_run_ja) shows what a non-ANSI text would become.
TEST_F(CardRun, ACardThatFillsUpSaysWhyInTheOperatorsLanguage) {
    whenShowing(text::deletingFiles, [this] {
        ULARGE_INTEGER room{};
        ASSERT_TRUE(GetDiskFreeSpaceExW(L"E:\\", &room, nullptr, nullptr));
        writeBytes(m_card / "KEEP" / "filler.bin", std::string(room.QuadPart - 100'000, 'f'));
    });
    pickDrive(k().get<win32::DriveList>("Drive1"), "e:");
    m_form->handlers().Timer1_Timer();
    add("eins.mp3");

    whenAsked([this] { click(k().get<win32::ButtonCtrl>("Command1")); });
    click(k().get<win32::ButtonCtrl>("cmdFinish"));
    ASSERT_EQ(m_messages.size(), 1u);
    const std::string& message = m_messages[0];
    EXPECT_NE(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, message.data(),
                                  static_cast<int>(message.size()), nullptr, 0),
              0)
        << "not UTF-8: " << message;
    if (PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE) {
        EXPECT_NE(
            message.find("\u30c7\u30a3\u30b9\u30af\u304c\u3044\u3063\u3071\u3044\u3067\u3059"),
            std::string::npos)
            << message;
    }
    EXPECT_EQ(k().get<win32::EditCtrl>("txtTEXT1").text(), text::failedCardIncomplete);
    // A Japanese system draws the box's Latin text with a wider substitute face, so the
    // three lines the design gives it hold only where the design's own face is used.
    if (PRIMARYLANGID(GetUserDefaultUILanguage()) != LANG_JAPANESE) {
        EXPECT_EQ(SendMessageW(k().get<win32::EditCtrl>("txtTEXT1").hwnd(), EM_GETLINECOUNT, 0, 0),
                  3);
    }
    screenshot(m_form->hwnd(), "win32-full-card");
}

} // namespace
