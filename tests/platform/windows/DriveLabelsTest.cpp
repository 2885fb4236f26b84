// The labels of fixed drives are read away from the caller, whatever a drive does.
#include "platform/windows/DriveLabels.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace velk {
namespace {

TEST(DriveLabels, ADriveThatDoesNotAnswerHoldsUpNoListing) {
    std::promise<void> answer;
    const std::shared_future<void> answered = answer.get_future().share();
    std::atomic<int> reads{0};
    const DriveLabels labels([&reads, answered](const std::string& root) {
        ++reads;
        if (root == "Z:\\")
            answered.wait(); // a share whose server is gone
        return "label of " + root;
    });

    labels.refresh({"Z:\\", "C:\\"});
    // Asked while Z: hangs: no label yet, and no second read of the same drives.
    EXPECT_EQ(labels.label("Z:\\"), "");
    EXPECT_EQ(labels.label("C:\\"), "");
    labels.refresh({"Z:\\", "C:\\"});

    answer.set_value();
    for (int waited = 0; labels.label("C:\\").empty() && waited < 1000; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(labels.label("Z:\\"), "label of Z:\\");
    EXPECT_EQ(labels.label("C:\\"), "label of C:\\");
    EXPECT_EQ(reads, 2);
}

} // namespace
} // namespace velk
