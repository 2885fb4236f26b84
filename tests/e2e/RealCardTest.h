#pragma once

#include "core/TrackFixture.h"
#include "support/LoopCard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace velk::test {

/// A test on a real card whose file system is the test's parameter ("ext4", "vfat"), run in
/// a working folder of its own, with a source folder beside it. Skipped, saying why, where
/// the machine cannot make such a card.
class RealCardTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        if (const std::string why = LoopCard::prepare(GetParam()); !why.empty())
            GTEST_SKIP() << why;
        LoopCard::Options options;
        options.fsType = GetParam();
        std::string whyNot;
        card = LoopCard::make(options, whyNot);
        if (!card)
            GTEST_SKIP() << whyNot;
        previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(work.path());
    }

    void TearDown() override {
        if (!previousFolder.empty())
            std::filesystem::current_path(previousFolder);
    }

    TempFolder work;
    TempFolder source;
    std::unique_ptr<LoopCard> card;
    std::filesystem::path previousFolder;
};

} // namespace velk::test
