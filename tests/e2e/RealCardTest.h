#pragma once

#include "support/Bytes.h"
#include "support/LoopCard.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace velk::test {

/// Tests on real cards whose file system is the test's parameter ("ext4", "vfat"), run in a
/// working folder of their own, with a source folder beside it; each makes the cards it
/// needs. Skipped, saying why, where the machine cannot make such a card.
class RealCardsTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        if (const std::string why = LoopCard::prepare(GetParam()); !why.empty())
            GTEST_SKIP() << why;
        previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(work.path());
        // A window started on a card stages its index in the program's own folder: this one.
        ::setenv("XDG_DATA_HOME", data.str().c_str(), 1);
    }

    void TearDown() override {
        if (!previousFolder.empty())
            std::filesystem::current_path(previousFolder);
        ::unsetenv("XDG_DATA_HOME");
    }

    /// A card of the file system under test; null, with `skipReason` saying why, when the
    /// machine cannot make it.
    std::unique_ptr<LoopCard> makeCard(LoopCard::Options options = {}) {
        options.fsType = GetParam();
        return LoopCard::make(options, skipReason);
    }

    /// Writes a source file of made-up bytes and returns them.
    std::string sourceFile(const std::string& name, std::size_t size, unsigned seed) {
        std::string bytes = pattern(size, seed);
        writeBytes(source.path() / name, bytes);
        return bytes;
    }
    /// Writes a source file of made-up bytes and returns its path.
    std::string sourcePath(const std::string& name, std::size_t size, unsigned seed) {
        sourceFile(name, size, seed);
        return (source.path() / name).string();
    }

    TempFolder work;
    TempFolder source;
    TempFolder data;
    std::filesystem::path previousFolder;
    std::string skipReason;
};

/// Declares `var`, a card made by makeCard(options...), or skips the test when there is none.
#define MAKE_CARD(var, ...)                                                                        \
    const std::unique_ptr<LoopCard> var = makeCard(__VA_ARGS__);                                   \
    if (!var)                                                                                      \
    GTEST_SKIP() << skipReason

/// A test on one real card, made before the test starts.
class RealCardTest : public RealCardsTest {
protected:
    void SetUp() override {
        RealCardsTest::SetUp();
        if (IsSkipped())
            return;
        card = makeCard();
        if (!card)
            GTEST_SKIP() << skipReason;
    }

    std::unique_ptr<LoopCard> card;
};

} // namespace velk::test
