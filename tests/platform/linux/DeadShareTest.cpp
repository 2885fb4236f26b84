// A network share whose server is gone, mounted for real (a FUSE file system whose every
// answer waits, tests/platform/linux/dead_share.py): the drive lists and the monitor's tick on
// another drive must not wait for it. Needs root, /dev/fuse and python3-fusepy.
#include "core/CardMonitor.h"
#include "core/Module1.h"
#include "core/PlatformTexts.h"
#include "core/SourceBrowser.h"
#include "core/Texts.h"
#include "platform/linux/LinuxSystem.h"
#include "support/FakeForm.h"
#include "support/NeedsRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>

#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velk {
namespace {

namespace fs = std::filesystem;

bool mounted(const std::string& mountPoint) {
    std::ifstream in("/proc/self/mountinfo");
    std::stringstream all;
    all << in.rdbuf();
    return all.str().find(" " + mountPoint + " ") != std::string::npos;
}

class DeadShare : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string why = test::needsRoot("mounting a FUSE share"); !why.empty())
            GTEST_SKIP() << why;
        if (::access("/dev/fuse", R_OK | W_OK) != 0)
            GTEST_SKIP() << "no /dev/fuse: " << std::strerror(errno);
        std::string folder = (fs::temp_directory_path() / "velk-share-XXXXXX").string();
        ASSERT_NE(::mkdtemp(folder.data()), nullptr);
        m_mount = folder;
        m_share = ::fork();
        ASSERT_GE(m_share, 0);
        if (m_share == 0) {
            ::execl("/usr/bin/python3", "python3", VELK_DEAD_SHARE, m_mount.c_str(), nullptr);
            ::_exit(127);
        }
        for (int waited = 0; !mounted(m_mount) && waited < 200; ++waited) {
            if (::waitpid(m_share, nullptr, WNOHANG) == m_share) {
                m_share = -1;
                GTEST_SKIP() << "the share did not mount (is python3-fusepy installed?)";
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ASSERT_TRUE(mounted(m_mount));
    }
    void TearDown() override {
        release();
        if (!m_mount.empty())
            ::rmdir(m_mount.c_str());
    }
    /// Ends the share: every wait on it then ends with an error.
    void release() {
        if (m_share <= 0)
            return;
        ::kill(m_share, SIGKILL);
        ::waitpid(m_share, nullptr, 0);
        m_share = -1;
        ::umount2(m_mount.c_str(), MNT_DETACH);
    }

    std::string m_mount;
    pid_t m_share = -1;
};

TEST_F(DeadShare, NeitherTheDriveListsNorATickOnAnotherDriveWaitForIt) {
    const LinuxSystem system;
    auto work = std::async(std::launch::async, [&system] {
        Module1 state;
        test::FakeForm form;
        form.setText(Control::Drive1, "/");
        CardMonitor(state, form, system).Timer1_Timer();
        (void)system.currentDrive();
        return system.drives();
    });
    // The share never answers: waiting this long means waiting for ever.
    const bool answered = work.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    if (!answered)
        release();
    ASSERT_TRUE(answered) << "the drive lists or the tick asked the dead share";
    const auto drives = work.get();
    EXPECT_TRUE(std::any_of(drives.begin(), drives.end(), [this](const DriveEntry& d) {
        return d.designation == m_mount && d.label.find("server:/gone") != std::string::npos;
    })) << "the share is listed, from the mount table alone";
}

// Chosen as the source drive, and arrowed past again: the window goes on, says the drive is
// not answering, and its entry in the list says so too.
TEST_F(DeadShare, ChosenAsSourceItHoldsNothingAndShowsAsNotAnswering) {
    const LinuxSystem system;
    test::FakeForm form;
    SourceBrowser browser(form, system);
    auto work = std::async(std::launch::async, [&] {
        for (int pass = 0; pass < 2; ++pass) {
            form.setText(Control::drvDrive1, m_mount);
            browser.drvDrive1_Change();
            form.setText(Control::drvDrive1, "/");
            browser.drvDrive1_Change();
        }
        form.setText(Control::drvDrive1, m_mount);
        browser.drvDrive1_Change();
        browser.Timer1_Timer();
        return system.drives();
    });
    const bool answered = work.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    if (!answered)
        release();
    ASSERT_TRUE(answered) << "the source drive was asked on the window's thread";
    const auto drives = work.get();
    EXPECT_EQ(form.text(Control::txtTEXT1), text::sourceNotAnswering);
    EXPECT_NE(form.text(Control::Dir1), m_mount);
    EXPECT_TRUE(std::any_of(drives.begin(), drives.end(), [this](const DriveEntry& d) {
        return d.designation == m_mount &&
               d.label.find(text::driveNotAnswering) != std::string::npos;
    }));
}

} // namespace
} // namespace velk
