// Source drives are asked off the caller's thread, whatever a drive does.
#include "platform/DriveAnswers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace velk {
namespace {

using namespace std::chrono_literals;

RootFolder rootAt(const std::string& path) {
    return {RootFolder::Status::ok, path, {}};
}

TEST(DriveAnswers, ADriveThatDoesNotAnswerHoldsNobodyAndAnswersLater) {
    std::promise<void> serverBack;
    const std::shared_future<void> back = serverBack.get_future().share();
    std::atomic<int> asked{0};
    const DriveAnswers answers(50ms);
    const auto hanging = [&asked, back] {
        ++asked;
        back.wait(); // a share whose server is gone
        return rootAt("z:\\");
    };

    // Asked from another thread, so that a wait for the drive fails the test instead of hanging it.
    auto first = std::async(std::launch::async, [&] {
        const std::optional<RootFolder> before = answers.answer("z:", hanging);
        const bool shownWaiting = answers.waiting("z:");
        // Arrowed past again while it hangs: no second question, no wait.
        const std::optional<RootFolder> again = answers.answer("z:", hanging);
        return !before && shownWaiting && !again;
    });
    ASSERT_EQ(first.wait_for(20s), std::future_status::ready) << "the caller waited for the drive";
    EXPECT_TRUE(first.get());
    EXPECT_EQ(asked, 1);

    serverBack.set_value();
    std::optional<RootFolder> late;
    for (int tries = 0; !late && tries < 1000; ++tries) {
        std::this_thread::sleep_for(10ms);
        late = answers.answer("z:", hanging);
    }
    ASSERT_TRUE(late);
    EXPECT_EQ(late->path, "z:\\");
    EXPECT_FALSE(answers.waiting("z:"));
    // The answer is given once: the next choice of the drive asks it again.
    EXPECT_TRUE(answers.answer("z:", hanging));
    EXPECT_EQ(asked, 2);
}

TEST(DriveAnswers, ADriveThatAnswersIsOpenedAtOnceAndOthersWaitForNoneOfIt) {
    std::promise<void> never;
    const std::shared_future<void> hangs = never.get_future().share();
    const DriveAnswers answers(2s);
    auto work = std::async(std::launch::async, [&] {
        (void)answers.answer("z:", [hangs] {
            hangs.wait_for(30s);
            return rootAt("z:\\");
        });
        return answers.answer("c:", [] {
            return RootFolder{RootFolder::Status::deviceUnavailable, {}, "no medium"};
        });
    });
    // The hanging drive costs its patience once; the answering one nothing more.
    ASSERT_EQ(work.wait_for(20s), std::future_status::ready);
    const std::optional<RootFolder> c = work.get();
    ASSERT_TRUE(c);
    EXPECT_EQ(c->status, RootFolder::Status::deviceUnavailable);
    EXPECT_EQ(c->reason, "no medium");
    never.set_value();
}

} // namespace
} // namespace velk
