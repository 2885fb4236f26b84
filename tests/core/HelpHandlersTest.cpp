#include "core/HelpHandlers.h"
#include "core/Texts.h"
#include "support/FakeHelp.h"
#include "support/NeedsRoot.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace velk {
namespace {

using test::FakeHelp;
using test::TempFolder;

// Each topic file as CR LF lines, and what Text1 is then given.
std::string topicBytes(int topic, const std::string& where = "") {
    return "Topic " + std::to_string(topic) + where + "\r\nsecond line\r\n";
}
std::string topicText(int topic, const std::string& where = "") {
    return "Topic " + std::to_string(topic) + where + "\nsecond line\n";
}

class HelpHandlersTest : public testing::Test {
protected:
    void SetUp() override { writeTopics(m_topics); }
    static void writeTopics(const TempFolder& folder, const std::string& where = "") {
        for (int topic = 1; topic <= HelpTopic::count; ++topic)
            folder.write("velkhlp" + std::to_string(topic) + ".txt", topicBytes(topic, where));
    }
    void click(int topic) {
        (m_handlers.*HelpHandlers::hbutClicks.at(static_cast<std::size_t>(topic - 1)))();
    }

    TempFolder m_topics{"help"};
    FakeHelp m_window;
    HelpHandlers m_handlers{m_window};
};

TEST_F(HelpHandlersTest, LoadShowsTopicOneAndEachButtonItsOwnTopic) {
    m_handlers.Form_Load(m_topics.path());
    EXPECT_EQ(m_window.checked, 1);
    EXPECT_EQ(m_window.text, "Topic 1\nsecond line\n");
    EXPECT_EQ(m_window.placeholder, "");
    for (int topic : {9, 2, 3, 4, 5, 6, 7, 8, 1}) {
        click(topic);
        EXPECT_EQ(m_window.checked, topic);
        EXPECT_EQ(m_window.text, topicText(topic));
    }
}

TEST_F(HelpHandlersTest, EachChoiceReadsTheFileAfreshAndTheFolderIsTakenAtLoadOnly) {
    m_handlers.Form_Load(m_topics.path());
    m_topics.write("velkhlp1.txt", "edited\r\n");
    click(1);
    EXPECT_EQ(m_window.text, "edited\n");

    const TempFolder second{"second"};
    writeTopics(second, " second");
    click(2);
    EXPECT_EQ(m_window.text, topicText(2)) << "the open window keeps its folder";
    m_handlers.Form_Load(second.path());
    EXPECT_EQ(m_window.checked, 1);
    EXPECT_EQ(m_window.text, topicText(1, " second"));
    click(4);
    EXPECT_EQ(m_window.text, topicText(4, " second"));
}

TEST_F(HelpHandlersTest, ATopicThatCannotBeShownLeavesTheBoxEmptyAndSaysWhy) {
    fs::remove(m_topics.path() / "velkhlp4.txt");
    fs::remove(m_topics.path() / "velkhlp5.txt");
    // A folder where the topic file should be: it can be neither created nor read.
    fs::create_directory(m_topics.path() / "velkhlp5.txt");
    m_handlers.Form_Load(m_topics.path());

    click(4);
    EXPECT_EQ(m_window.checked, 4);
    EXPECT_EQ(m_window.text, "");
    EXPECT_EQ(m_window.placeholder,
              text::helpNotFound + test::utf8Of(m_topics.path() / "velkhlp4.txt"));
    EXPECT_FALSE(fs::exists(m_topics.path() / "velkhlp4.txt")) << "a missing topic is not created";

    click(5);
    EXPECT_EQ(m_window.checked, 5);
    EXPECT_EQ(m_window.text, "");
    EXPECT_EQ(m_window.placeholder.rfind(text::helpUnreadable, 0), 0u) << m_window.placeholder;
    EXPECT_NE(m_window.placeholder.find(test::utf8Of(m_topics.path() / "velkhlp5.txt")),
              std::string::npos);

    click(6);
    EXPECT_EQ(m_window.text, topicText(6));
    EXPECT_EQ(m_window.placeholder, "") << "a readable topic clears the reason";
}

// What platform/HelpFolder gives when the current folder vanished under the process.
TEST_F(HelpHandlersTest, NoFolderAtAllShowsAReasonAndDoesNotThrow) {
    const fs::path before = fs::current_path();
    {
        const TempFolder doomed{"doomed"};
        fs::current_path(doomed.path());
    }
    EXPECT_NO_THROW(m_handlers.Form_Load(fs::path()));
    fs::current_path(before);
    EXPECT_EQ(m_window.checked, 1);
    EXPECT_EQ(m_window.text, "");
    EXPECT_NE(m_window.placeholder, "");
}

TEST_F(HelpHandlersTest, ALongWindowsTopicShowsOneLinePerLine) {
    std::string bytes;
    for (int line = 1; line <= 200; ++line)
        bytes += "line " + std::to_string(line) + " caf\xE9 \x80\r\n";
    m_topics.write("velkhlp6.txt", bytes);
    m_handlers.Form_Load(m_topics.path());
    click(6);
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = m_window.text.find('\n', at)) != std::string::npos; ++at)
        ++lines;
    EXPECT_EQ(lines, 200u);
    EXPECT_EQ(m_window.text.substr(0, m_window.text.find('\n')), "line 1 café €");
    EXPECT_EQ(m_window.text.substr(m_window.text.size() - 20), "\nline 200 café €\n");
}

#ifndef _WIN32
// The topics at a root: chroot into a temporary folder, so "/" is ours and the real root is
// never written; the saved descriptor leads back out afterwards.
TEST_F(HelpHandlersTest, TopicsAtARootAreReadAndAMissingOneIsNamedThere) {
    if (const std::string why = test::needsRoot("chroot"); !why.empty())
        GTEST_SKIP() << why;
    const fs::path before = fs::current_path();
    const int realRoot = ::open("/", O_RDONLY | O_DIRECTORY);
    ASSERT_GE(realRoot, 0);
    if (::chroot(m_topics.path().c_str()) != 0) {
        const int error = errno;
        ::close(realRoot);
        GTEST_SKIP() << "chroot: " << std::strerror(error);
    }
    fs::remove("/velkhlp7.txt");
    m_handlers.Form_Load("/");
    const std::string shown = m_window.text;
    click(7);
    const std::string missing = m_window.placeholder;
    const bool created = fs::exists("/velkhlp7.txt");
    const bool back = ::fchdir(realRoot) == 0 && ::chroot(".") == 0;
    ::close(realRoot);
    ASSERT_TRUE(back) << "cannot leave the chroot";
    fs::current_path(before);
    EXPECT_EQ(shown, topicText(1));
    EXPECT_EQ(missing, std::string(text::helpNotFound) + "/velkhlp7.txt");
    EXPECT_FALSE(created);
}
#endif

} // namespace
} // namespace velk
