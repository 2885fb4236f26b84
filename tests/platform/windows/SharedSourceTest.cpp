// Sources that another program has open, under Wine with E: a removable card: a scan or a
// preview that holds a file without sharing it is waited for a moment, while the window goes
// on answering; one that does not let go refuses the run before the wipe, with the card as it
// was; a recorder that shares the file does not stop the run.
#include "RunOnCardE.h"

#include "core/PlatformTexts.h"
#include "core/Texts.h"
#include "platform/windows/SharingRetry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <thread>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace velk {
namespace {

namespace fs = std::filesystem;

using test::pattern;
using test::readBytes;
using test::writeBytes;

// A caller that cannot let the window answer between tries is not kept waiting: the window
// would freeze.
TEST(SharingRetry, WaitsOutOnlyAnotherProgramsHold) {
    const struct {
        DWORD error;
        int failures;   ///< before the attempt succeeds; -1: never
        bool canAnswer; ///< the caller runs something between tries
        bool succeeds;
        int attempts; ///< -1: more than one
    } cases[] = {
        {ERROR_SHARING_VIOLATION, 3, true, true, 4},
        {ERROR_LOCK_VIOLATION, 1, true, true, 2},
        {ERROR_ACCESS_DENIED, -1, true, false, 1},
        {ERROR_FILE_NOT_FOUND, -1, true, false, 1},
        {ERROR_SHARING_VIOLATION, -1, true, false, -1},
        {ERROR_SHARING_VIOLATION, -1, false, false, 1},
    };
    for (const auto& c : cases) {
        int attempts = 0;
        int between = 0;
        const auto attempt = [&] {
            ++attempts;
            if (c.failures >= 0 && attempts > c.failures)
                return true;
            ::SetLastError(c.error);
            return false;
        };
        const auto answer = [&] {
            ++between;
            // What the window does meanwhile may leave an error of its own.
            ::SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        };
        const bool done =
            c.canAnswer ? retryWhileShared(attempt, answer) : retryWhileShared(attempt);
        const DWORD error = ::GetLastError();
        SCOPED_TRACE(testing::Message() << "error " << c.error << ", failures " << c.failures
                                        << ", can answer " << c.canAnswer);
        EXPECT_EQ(done, c.succeeds);
        if (c.attempts > 0) {
            EXPECT_EQ(attempts, c.attempts);
        } else {
            EXPECT_GT(attempts, 1);
        }
        EXPECT_EQ(between, c.canAnswer ? attempts - 1 : 0)
            << "the caller may answer between every two tries";
        if (!done) {
            EXPECT_EQ(error, c.error) << "the last attempt's reason";
        }
    }
}

TEST(SharingRetry, WhatTheCallerThrowsBetweenTriesEndsThem) {
    int attempts = 0;
    EXPECT_THROW((void)retryWhileShared(
                     [&] {
                         ++attempts;
                         ::SetLastError(ERROR_SHARING_VIOLATION);
                         return false;
                     },
                     [] { throw std::runtime_error("the program is ending"); }),
                 std::runtime_error);
    EXPECT_EQ(attempts, 1);
}

/// A file held open by "another program": a handle of this process with the given sharing,
/// closed after `releaseAfter` by a thread of its own, or at the end of the test.
class Holder {
public:
    Holder(const fs::path& path, DWORD sharing,
           std::optional<std::chrono::milliseconds> releaseAfter)
        : m_h(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, sharing, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {
        if (releaseAfter)
            m_releaser = std::thread([this, delay = *releaseAfter] {
                std::this_thread::sleep_for(delay);
                release();
            });
    }
    ~Holder() {
        if (m_releaser.joinable())
            m_releaser.join();
        release();
    }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

    [[nodiscard]] bool holds() const { return m_h.load() != INVALID_HANDLE_VALUE; }

private:
    void release() {
        if (const HANDLE h = m_h.exchange(INVALID_HANDLE_VALUE); h != INVALID_HANDLE_VALUE)
            ::CloseHandle(h);
    }

    std::atomic<HANDLE> m_h;
    std::thread m_releaser;
};

struct Hold {
    const char* name;
    DWORD sharing;
    bool fromTheStart; ///< else taken when the wipe begins, after the sources were checked
    std::optional<std::chrono::milliseconds> releaseAfter;
    RunOutcome::Result result;
};

void PrintTo(const Hold& hold, std::ostream* out) {
    *out << hold.name;
}

class SharedSource : public test::RunOnCardE, public testing::WithParamInterface<Hold> {
protected:
    void SetUp() override {
        RunOnCardE::SetUp();
        if (IsSkipped())
            return;
        writeBytes(m_source, pattern(250'000, 4));
        listTrack(test::utf8Of(m_source), 250'000);
    }

    const fs::path m_source = m_work.path() / "track.mp3";
};

TEST_P(SharedSource, IsWaitedForAMomentAndNeverCostsTheCard) {
    const Hold& hold = GetParam();
    const auto before = test::cardFiles();
    std::optional<Holder> holder;
    if (hold.fromTheStart)
        holder.emplace(m_source, hold.sharing, hold.releaseAfter);
    bool answered = false;
    int yieldsWhileHeld = 0;
    m_form.onYield = [&](test::FakeForm& f) {
        if (f.isVisible(Control::Frame1)) {
            answered = true;
            m_run.Command1_Click();
        } else if (answered && holder && holder->holds()) {
            ++yieldsWhileHeld;
        }
        if (!holder && f.text(Control::Label7) == text::deletingFiles)
            holder.emplace(m_source, hold.sharing, hold.releaseAfter);
    };

    m_run.cmdFinish_Click();

    const RunOutcome& outcome = m_run.outcome();
    EXPECT_EQ(outcome.result, hold.result) << outcome.message;
    if (hold.result == RunOutcome::Result::verified) {
        const auto after = test::cardFiles();
        EXPECT_TRUE(after.count("M0000001.MP3") && after.at("M0000001.MP3") == pattern(250'000, 4));
        EXPECT_EQ(after.count("OLD.MP3"), 0u);
    } else {
        EXPECT_FALSE(outcome.cardChanged);
        EXPECT_EQ(test::cardFiles(), before) << "the card is as it was";
        // Wine's Restart Manager names no program, so the sentence is the one without a name.
        EXPECT_NE(outcome.message.find(text::fileInUse), std::string::npos) << outcome.message;
        EXPECT_NE(outcome.message.find(test::utf8Of(m_source)), std::string::npos);
    }
    if (hold.sharing == 0 && hold.fromTheStart) {
        EXPECT_GT(yieldsWhileHeld, 0) << "the window answers while the run waits";
    }
}

constexpr DWORD readersAndWriters = FILE_SHARE_READ | FILE_SHARE_WRITE;

INSTANTIATE_TEST_SUITE_P(
    Holds, SharedSource,
    testing::Values(Hold{"heldThroughout", 0, true, std::nullopt, RunOutcome::Result::refused},
                    Hold{"releasedWithinTheWait", 0, true, std::chrono::milliseconds(500),
                         RunOutcome::Result::verified},
                    Hold{"takenAfterTheCheckAndReleased", 0, false, std::chrono::milliseconds(500),
                         RunOutcome::Result::verified},
                    Hold{"recorderThatShares", readersAndWriters, true, std::nullopt,
                         RunOutcome::Result::verified}),
    [](const testing::TestParamInfo<Hold>& info) { return std::string(info.param.name); });

} // namespace
} // namespace velk
