// velk-card.exe as Windows sees it: the manifest, version information and icon it carries (read
// back from the file, beside the window program's), and (CardInConsole, run in a console through
// tests/wine/console.sh) the console it leaves as it found it. F: is a reader that holds no card.
#include "support/ExeResources.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <windows.h>

namespace velk {
namespace {

namespace fs = std::filesystem;
using test::resourceBytes;
using test::versionString;

const fs::path card = VELK_CARD_EXE;
const fs::path window = VELK_WINDOW_EXE;

std::wstring wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

/// Runs velk-card.exe in this program's console with its output and errors in `log`; its exit
/// status.
DWORD runCard(const std::wstring& arguments, const fs::path& log) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    const HANDLE file = CreateFileW(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                    CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW start{};
    start.cb = sizeof(start);
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    start.hStdOutput = file;
    start.hStdError = file;
    std::wstring line = L"\"" + card.wstring() + L"\" " + arguments;
    PROCESS_INFORMATION process{};
    DWORD status = ~0u;
    if (CreateProcessW(card.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &start, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &status);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(file);
    return status;
}

TEST(CardExe, CarriesAManifestForLongPathsAndTheUtf8CodePage) {
    const std::string manifest = resourceBytes(card, RT_MANIFEST, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(manifest.empty()) << "no manifest in " << card;
    // Windows heeds each setting only under its own namespace.
    const std::string settings[] = {
        R"(<longPathAware xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">true<)",
        R"(<activeCodePage xmlns="http://schemas.microsoft.com/SMI/2019/WindowsSettings">UTF-8<)",
    };
    for (const std::string& setting : settings)
        EXPECT_NE(manifest.find(setting), std::string::npos) << setting << " in\n" << manifest;
}

struct ProgramVersion {
    fs::path exe;
    const wchar_t* fileName;
    const wchar_t* internalName;
    const wchar_t* description;
};

TEST(CardExe, BothProgramsCarryTheirVersionInformation) {
    const ProgramVersion programs[] = {
        {card, L"velk-card.exe", L"velk-card", L"VELK Message Assembler command line"},
        {window, L"velk-assembler.exe", L"velk-assembler", L"VELK Message Assembler"},
    };
    for (const ProgramVersion& p : programs) {
        SCOPED_TRACE(p.exe.string());
        EXPECT_EQ(versionString(p.exe, L"ProductName"), L"VELK Message Assembler");
        EXPECT_EQ(versionString(p.exe, L"FileVersion"), wide(VELK_VERSION));
        EXPECT_EQ(versionString(p.exe, L"ProductVersion"), wide(VELK_VERSION));
        EXPECT_EQ(versionString(p.exe, L"OriginalFilename"), p.fileName);
        EXPECT_EQ(versionString(p.exe, L"InternalName"), p.internalName);
        EXPECT_EQ(versionString(p.exe, L"FileDescription"), p.description);
    }
}

TEST(CardExe, ShowsTheWindowsIcon) {
    EXPECT_GT(ExtractIconExW(card.c_str(), -1, nullptr, nullptr, 0), 0u) << "no icon in " << card;
    // The group lists each image's size, colours and bytes.
    const std::string icon = resourceBytes(card, RT_GROUP_ICON, L"VELK");
    ASSERT_FALSE(icon.empty());
    EXPECT_EQ(icon, resourceBytes(window, RT_GROUP_ICON, L"VELK"));
}

struct CardRun {
    const wchar_t* arguments;
    DWORD status;
};

TEST(CardInConsole, GivesTheConsoleItsCodePagesBack) {
    ASSERT_NE(GetConsoleOutputCP(), 0u) << "no console: run through tests/wine/console.sh";
    // Done, wrong usage, failed: each way out of the program.
    const CardRun runs[] = {
        {L"--version", 0}, {L"programme --frobnicate", 2}, {L"list --card F:", 1}};
    for (const CardRun& run : runs) {
        SCOPED_TRACE(wide("velk-card ") + run.arguments);
        ASSERT_TRUE(SetConsoleOutputCP(850));
        ASSERT_TRUE(SetConsoleCP(437));
        const fs::path log = fs::temp_directory_path() / L"velk-card-code-pages.log";
        EXPECT_EQ(runCard(run.arguments, log), run.status);
        EXPECT_EQ(GetConsoleOutputCP(), 850u);
        EXPECT_EQ(GetConsoleCP(), 437u);
    }
}

} // namespace
} // namespace velk
