#include "core/HelpTopic.h"
#include "support/Bytes.h"
#include "support/MountNamespace.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

using velk::test::readBytes;
using velk::test::TempFolder;
using velk::test::writeBytes;

TEST(HelpTopicFile, NamesTheNineTopicsAndNothingElse) {
    EXPECT_EQ(velk::helpTopicFile(1), "velkhlp1.txt");
    EXPECT_EQ(velk::helpTopicFile(9), "velkhlp9.txt");
    EXPECT_THROW((void)velk::helpTopicFile(0), std::out_of_range);
    EXPECT_THROW((void)velk::helpTopicFile(10), std::out_of_range);
}

struct LineCase {
    const char* name;
    std::string bytes;
    std::string text;
};

class LineEnds : public testing::TestWithParam<LineCase> {};

TEST_P(LineEnds, BecomeOneLineBreakEach) {
    EXPECT_EQ(velk::decodeHelpText(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    HelpText, LineEnds,
    testing::Values(LineCase{"crlf", "one\r\ntwo\r\n\r\nthree\r\n", "one\ntwo\n\nthree\n"},
                    LineCase{"lf", "one\ntwo", "one\ntwo"},
                    LineCase{"lone_cr", "one\rtwo", "one\ntwo"},
                    LineCase{"cr_before_crlf", "a\r\r\nb", "a\n\nb"},
                    LineCase{"lf_cr", "a\n\rb", "a\n\nb"}, LineCase{"trailing_cr", "a\r", "a\n"},
                    LineCase{"empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct ByteCase {
    unsigned char byte;
    const char* utf8;
};

// Written out as the characters themselves, not derived from any table.
constexpr ByteCase cp1252[] = {
    {0x80, "€"},      {0x81, "\u0081"}, {0x82, "‚"},      {0x83, "ƒ"},      {0x84, "„"},
    {0x85, "…"},      {0x86, "†"},      {0x87, "‡"},      {0x88, "ˆ"},      {0x89, "‰"},
    {0x8A, "Š"},      {0x8B, "‹"},      {0x8C, "Œ"},      {0x8D, "\u008D"}, {0x8E, "Ž"},
    {0x8F, "\u008F"}, {0x90, "\u0090"}, {0x91, "‘"},      {0x92, "’"},      {0x93, "“"},
    {0x94, "”"},      {0x95, "•"},      {0x96, "–"},      {0x97, "—"},      {0x98, "˜"},
    {0x99, "™"},      {0x9A, "š"},      {0x9B, "›"},      {0x9C, "œ"},      {0x9D, "\u009D"},
    {0x9E, "ž"},      {0x9F, "Ÿ"},      {0xA0, "\u00A0"}, {0xA3, "£"},      {0xA9, "©"},
    {0xB0, "°"},      {0xBF, "¿"},      {0xC0, "À"},      {0xD7, "×"},      {0xDF, "ß"},
    {0xE9, "é"},      {0xF7, "÷"},      {0xFF, "ÿ"},
};

TEST(HelpText, UpperHalfBytesAreTheirWindows1252Characters) {
    for (const ByteCase& c : cp1252) {
        const std::string bytes{'<', static_cast<char>(c.byte), '>'};
        EXPECT_EQ(velk::decodeHelpText(bytes), std::string("<") + c.utf8 + ">")
            << "byte 0x" << std::hex << int(c.byte);
    }
}

TEST(HelpText, EveryByteBecomesExactlyOneCharacter) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n')
            all += static_cast<char>(b);
    const std::string text = velk::decodeHelpText(all);
    std::size_t characters = 0;
    for (unsigned char c : text)
        characters += (c & 0xC0) != 0x80;
    EXPECT_EQ(characters, all.size());
}

TEST(ReadHelpTopic, MissingTopicIsReportedAndNotCreated) {
    TempFolder dir;
    const fs::path cases[] = {dir.path() / "velkhlp4.txt", dir.path() / "gone" / "velkhlp3.txt"};
    for (const fs::path& topic : cases) {
        const velk::HelpTopic read = velk::readHelpTopic(topic);
        EXPECT_EQ(read.error, "This help topic was not found: " + topic.string());
        EXPECT_EQ(read.text, "");
    }
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(ReadHelpTopic, ReadsEveryByteAndLeavesTheFileAsItWas) {
    TempFolder dir;
    const fs::path topic = dir.path() / "velkhlp1.txt";
    // NUL and Ctrl-Z would end a text-mode or C-string read early.
    const std::string bytes = "Line one\r\nNUL\0 and \x1A here\r\n\xE9t\xE9"s;
    writeBytes(topic, bytes);
    const velk::HelpTopic read = velk::readHelpTopic(topic);
    EXPECT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.text, "Line one\nNUL\0 and \x1A here\nété"s);
    EXPECT_EQ(readBytes(topic), bytes);
}

TEST(ReadHelpTopic, ReadsALargeTopicWhole) {
    TempFolder dir;
    const fs::path topic = dir.path() / "velkhlp9.txt";
    std::mt19937 random(1234);
    std::string bytes(3 * 1024 * 1024 + 17, '\0');
    for (char& b : bytes)
        b = static_cast<char>(0x20 + random() % 0x5F);
    bytes.back() = '\xFF';
    writeBytes(topic, bytes);
    const velk::HelpTopic read = velk::readHelpTopic(topic);
    ASSERT_TRUE(read.ok()) << read.error;
    ASSERT_EQ(read.text.size(), bytes.size() + 1);
    EXPECT_EQ(read.text.compare(0, bytes.size() - 1, bytes, 0, bytes.size() - 1), 0);
    EXPECT_EQ(read.text.substr(read.text.size() - 2), "ÿ");
}

TEST(ReadHelpTopic, AFolderInItsPlaceIsAnErrorWithThePathAndReason) {
    TempFolder dir;
    const fs::path folder = dir.path() / "velkhlp2.txt";
    fs::create_directory(folder);
    velk::HelpTopic read;
    EXPECT_NO_THROW(read = velk::readHelpTopic(folder));
    EXPECT_EQ(read.error,
              "This help topic cannot be shown. " + folder.string() + ": " + std::strerror(EISDIR));
    EXPECT_EQ(read.text, "");
}

TEST(ReadHelpTopic, AnUnreadableTopicIsAnErrorWithTheSystemsReason) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads the file all the same";
    TempFolder dir;
    const fs::path topic = dir.path() / "velkhlp5.txt";
    writeBytes(topic, "secret");
    fs::permissions(topic, fs::perms::none);
    const velk::HelpTopic read = velk::readHelpTopic(topic);
    EXPECT_EQ(read.error,
              "This help topic cannot be shown. " + topic.string() + ": " + std::strerror(EACCES));
    EXPECT_EQ(read.text, "");
}

// A read-only tmpfs in a private mount namespace, so nothing is seen outside this process.
class ReadOnlyFolder : public testing::Test {
protected:
    void SetUp() override {
        if (const std::string& why = velk::test::whyNoPrivateMounts(); !why.empty())
            GTEST_SKIP() << why;
        if (::mount("tmpfs", m_dir.path().c_str(), "tmpfs", 0, "size=1m") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs: " << std::strerror(errno);
        m_mounted = true;
        writeBytes(m_dir.path() / "velkhlp5.txt", "kept\r\n");
        if (::mount("tmpfs", m_dir.path().c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) != 0)
            GTEST_SKIP() << "cannot make the tmpfs read-only: " << std::strerror(errno);
    }
    void TearDown() override {
        if (m_mounted)
            ::umount2(m_dir.path().c_str(), MNT_DETACH);
    }
    TempFolder m_dir;
    bool m_mounted = false;
};

TEST_F(ReadOnlyFolder, ExistingTopicIsStillRead) {
    const velk::HelpTopic read = velk::readHelpTopic(m_dir.path() / "velkhlp5.txt");
    EXPECT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.text, "kept\n");
}

} // namespace
