// Starts an installed or unpacked program as the operator would (its Start-menu shortcut, or
// the exe by its path from another folder) and checks that its window comes up with the help
// topics that lie beside it.
//   VELK_INSTALLED=1     the installed program: in %LOCALAPPDATA%\Programs\VELK Message
//                        Assembler, started through the Start menu's shortcut
//   VELK_PROGRAM_FOLDER  otherwise, the folder that holds velk-assembler.exe and the topics
//   VELK_INSTALLER       the installer, whose version information is checked too
#include "core/HelpTopic.h"
#include "core/Texts.h"

#include "support/ExeResources.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

namespace velk {
namespace {

namespace fs = std::filesystem;
using test::versionString;

bool installed() {
    return std::getenv("VELK_INSTALLED") != nullptr;
}

fs::path knownFolder(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    fs::path result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)))
        result = path;
    CoTaskMemFree(path);
    return result;
}

fs::path programFolder() {
    if (installed())
        return knownFolder(FOLDERID_LocalAppData) / L"Programs" / L"VELK Message Assembler";
    // The wide environment: the narrow one is in the ANSI code page, which may lack its letters.
    const wchar_t* folder = _wgetenv(L"VELK_PROGRAM_FOLDER");
    return folder ? fs::path(folder) : fs::path();
}
fs::path program() {
    return programFolder() / L"velk-assembler.exe";
}
fs::path shortcut() {
    return knownFolder(FOLDERID_Programs) / L"VELK Message Assembler.lnk";
}

std::wstring wide(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end())).wstring();
}

std::wstring textOf(HWND hwnd) {
    // WM_GETTEXT, not GetWindowText: only the message reaches the text of another process's
    // edit control.
    std::wstring text(1 << 16, L'\0');
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 5000, &length))
        return {};
    text.resize(length);
    return text;
}

/// A top-level window whose title contains `part`, waited for up to `seconds`.
HWND waitForWindow(const std::wstring& part, int seconds) {
    struct Search {
        std::wstring part;
        HWND found = nullptr;
    } search{part};
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!search.found && std::chrono::steady_clock::now() < until) {
        EnumWindows(
            [](HWND hwnd, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                wchar_t title[256] = {};
                GetWindowTextW(hwnd, title, 256);
                if (IsWindowVisible(hwnd) &&
                    std::wstring(title).find(s->part) != std::wstring::npos) {
                    s->found = hwnd;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return search.found;
}

/// The first child of `parent` of the window class `className` whose text satisfies `accept`.
template <typename Accept> HWND findChild(HWND parent, const wchar_t* className, Accept accept) {
    std::vector<HWND> children;
    EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM data) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(data)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        wchar_t cls[64] = {};
        GetClassNameW(child, cls, 64);
        if (lstrcmpiW(cls, className) == 0 && accept(textOf(child)))
            return child;
    }
    return nullptr;
}

class ProgramStart : public ::testing::Test {
protected:
    void SetUp() override {
        if (!installed() && !std::getenv("VELK_PROGRAM_FOLDER"))
            GTEST_SKIP() << "neither VELK_INSTALLED nor VELK_PROGRAM_FOLDER is set";
    }
};

TEST_F(ProgramStart, TheProgramCarriesItsIconAndVersion) {
    ASSERT_TRUE(fs::exists(program())) << program();
    EXPECT_EQ(versionString(program(), L"ProductName"), L"VELK Message Assembler");
    EXPECT_EQ(versionString(program(), L"FileVersion"), wide(VELK_VERSION));
    EXPECT_GT(ExtractIconExW(program().c_str(), -1, nullptr, nullptr, 0), 0u) << "no icon";
    for (int topic = 1; topic <= HelpTopic::count; ++topic)
        EXPECT_GT(fs::file_size(programFolder() / helpTopicFile(topic)), 0u) << topic;
}

// What Windows shows under the installer's properties and beside a download.
TEST_F(ProgramStart, TheInstallerCarriesItsVersion) {
    const wchar_t* installer = _wgetenv(L"VELK_INSTALLER");
    if (!installer)
        GTEST_SKIP() << "VELK_INSTALLER is not set";
    EXPECT_EQ(versionString(installer, L"ProductName"), L"VELK Message Assembler");
    EXPECT_EQ(versionString(installer, L"ProductVersion"), wide(VELK_VERSION));
    EXPECT_EQ(versionString(installer, L"CompanyName"), L"VELK Message Assembler developers");
}

TEST_F(ProgramStart, TheShortcutStartsTheProgramInItsFolder) {
    if (!installed())
        GTEST_SKIP() << "an unpacked program has no shortcut";
    ASSERT_TRUE(fs::exists(shortcut())) << shortcut();
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkW, reinterpret_cast<void**>(&link))));
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
    ASSERT_TRUE(SUCCEEDED(file->Load(shortcut().c_str(), STGM_READ)));
    wchar_t target[MAX_PATH] = {};
    wchar_t folder[MAX_PATH] = {};
    EXPECT_TRUE(SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, 0)));
    EXPECT_TRUE(SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH)));
    EXPECT_TRUE(fs::equivalent(fs::path(target), program())) << fs::path(target);
    EXPECT_TRUE(fs::equivalent(fs::path(folder), programFolder())) << fs::path(folder);
    file->Release();
    link->Release();
    CoUninitialize();
}

// The help window shows the first topic, read from the program's own folder: through the
// shortcut, which starts it there, and from a folder that holds no topics.
TEST_F(ProgramStart, StartsAndShowsTheTopicsBesideIt) {
    const fs::path started = installed() ? shortcut() : program();
    const fs::path folder = fs::temp_directory_path() / L"velk started elsewhere";
    fs::create_directories(folder);
    SHELLEXECUTEINFOW run{};
    run.cbSize = sizeof run;
    run.fMask = SEE_MASK_NOCLOSEPROCESS;
    run.lpVerb = L"open";
    run.lpFile = started.c_str();
    run.lpDirectory = installed() ? nullptr : folder.c_str();
    run.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(ShellExecuteExW(&run)) << GetLastError();

    const HWND main = waitForWindow(L"MMC Card Message Assembler", 30);
    ASSERT_TRUE(main) << "the main window did not come up";
    const HWND help =
        findChild(main, L"Button", [](const std::wstring& t) { return t == L"HELP"; });
    ASSERT_TRUE(help);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(help, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);

    const HWND helpWindow = waitForWindow(wide(text::helpCaption), 10);
    ASSERT_TRUE(helpWindow) << "no help window";
    const HelpTopic first = readHelpTopic(programFolder() / helpTopicFile(1));
    ASSERT_TRUE(first.ok());
    const std::wstring expected = wide(first.text.substr(0, first.text.find('\n')));
    ASSERT_FALSE(expected.empty());
    const HWND topic = findChild(helpWindow, L"Edit",
                                 [&](const std::wstring& t) { return t.rfind(expected, 0) == 0; });
    EXPECT_TRUE(topic) << "the help window does not show the first topic, which begins "
                       << first.text.substr(0, first.text.find('\n'));

    PostMessageW(main, WM_CLOSE, 0, 0);
    if (run.hProcess) {
        EXPECT_EQ(WaitForSingleObject(run.hProcess, 10000), WAIT_OBJECT_0) << "still running";
        CloseHandle(run.hProcess);
    } else {
        for (int i = 0; i < 100 && IsWindow(main); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_FALSE(IsWindow(main)) << "still running";
    }
}

} // namespace
} // namespace velk
