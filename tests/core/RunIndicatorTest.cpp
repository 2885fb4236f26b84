#include "core/RunIndicator.h"

#include <gtest/gtest.h>

#include <vector>

using namespace velk;

namespace {

constexpr std::uint32_t red = 0x000000FF;
constexpr std::uint32_t yellow = 0x0000FFFF;

struct Step {
    bool starts;
    bool running;
    std::uint32_t guidance;
    RunShown shown;
};

void follow(const char* what, const std::vector<Step>& steps) {
    RunIndicator indicator;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (steps[i].starts)
            indicator.runStarts();
        EXPECT_EQ(indicator.now(steps[i].running, steps[i].guidance), steps[i].shown)
            << what << ", step " << i;
    }
}

} // namespace

TEST(RunIndicator, ShowsARunWhileItGoesAndAFailureUntilTheGuidanceChanges) {
    follow("a run that ends well", {{false, false, yellow, RunShown::none},
                                    {true, true, yellow, RunShown::progress},
                                    {false, false, yellow, RunShown::none}});
    follow("a failure reported while the run still holds the window",
           {{true, true, yellow, RunShown::progress},
            {false, true, red, RunShown::failed},
            {false, false, red, RunShown::failed},
            {false, false, red, RunShown::failed},
            {false, false, yellow, RunShown::none},
            {false, false, red, RunShown::none}});
    follow("a run too short to be seen that failed", {{true, false, red, RunShown::failed}});
    // A red box from before the run is no failure of a run.
    follow("no run", {{false, false, red, RunShown::none}});
}
