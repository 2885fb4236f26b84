// Failures told in the operator's language and as UTF-8, whether they come as Windows' codes
// or as the C library's, which the standard library would tell in the ANSI code page or in
// English. test_windows_error_fr and _ja run this in French and Japanese.
#include "platform/windows/WindowsError.h"
#include "platform/windows/WindowsSystem.h"

#include "core/SavedList.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace velk {
namespace {

/// "Access denied" as each language's Windows (here Wine) words it.
std::string accessDenied() {
    static const std::map<LANGID, std::string> words = {
        {LANG_ENGLISH, "Access denied"},
        {LANG_FRENCH, "Acc\u00e8s refus\u00e9"},
        {LANG_JAPANESE, "\u30a2\u30af\u30bb\u30b9\u304c\u62d2\u5426\u3055\u308c\u307e\u3057\u305f"},
    };
    return words.at(PRIMARYLANGID(::GetUserDefaultUILanguage()));
}

bool validUtf8(const std::string& text) {
    return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                 static_cast<int>(text.size()), nullptr, 0) != 0;
}

TEST(WindowsError, FailuresReadInTheOperatorsLanguage) {
    const WindowsSystem system;
    const test::TempFolder folder("not-a-list");
    const std::map<std::string, std::string> cases = {
        // The system refuses to open a folder as a file.
        {"opening a folder as a list", readSavedList(system, folder.utf8()).error},
        {"a system code", system.describe({ERROR_ACCESS_DENIED, std::system_category()})},
        {"a C library code", system.describe(std::make_error_code(std::errc::permission_denied))},
    };
    for (const auto& [what, reason] : cases) {
        EXPECT_TRUE(validUtf8(reason)) << what << ": not UTF-8: " << reason;
        EXPECT_NE(reason.find(accessDenied()), std::string::npos) << what << ": " << reason;
    }
}

} // namespace
} // namespace velk
