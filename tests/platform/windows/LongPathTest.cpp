// Names longer than MAX_PATH, which Windows takes only with the "\\?\" prefix where the
// system-wide long-path policy is off, as it is by default. Wine has no such limit, so here
// these show that every step of a run takes such names; only Windows itself refuses them.
#include "RunOnCardE.h"

#include "core/CardFiles.h"
#include "core/FilePattern.h"
#include "core/Paths.h"
#include "core/SavedList.h"
#include "core/TrackList.h"

#include <string>
#include <vector>

namespace velk {
namespace {

using test::pattern;
using test::readBytes;
using test::utf8Of;

/// A name as Windows takes it past MAX_PATH characters.
std::wstring prefixed(const std::string& utf8) {
    return L"\\\\?\\" + test::fromUtf8(utf8).wstring();
}

/// A folder inside `base` whose path is over 300 characters long, made with the prefix that
/// lets Windows take it.
std::string deepFolder(const std::filesystem::path& base) {
    std::wstring folder = base.wstring();
    for (const wchar_t letter : {L'a', L'b', L'c'}) {
        folder += L'\\' + std::wstring(100, letter);
        EXPECT_TRUE(::CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr));
    }
    return utf8Of(folder);
}

class LongPath : public test::RunOnCardE {};

TEST_F(LongPath, ATrackPastMaxPathIsMeasuredListedProgrammedAndSavedInAList) {
    const std::string folder = deepFolder(m_work.path());
    const std::string track = joinPath(folder, "track.mp3");
    ASSERT_GT(track.size(), 300u);
    test::writeBytes(prefixed(track), pattern(250'000, 4));

    // Added as a double-click adds it: measured, then listed.
    m_state.cardBytes = 64'000'000;
    TrackList tracks(m_state, m_form, m_system);
    ASSERT_TRUE(tracks.addTrack(folder, "track.mp3")) << m_form.text(Control::txtTEXT1);
    EXPECT_EQ(m_state.tracks.messageBytes, 250'000);
    EXPECT_EQ(filesShown(m_system.listFolder(folder), "*.mp3"),
              std::vector<std::string>{"track.mp3"});

    const std::string list = joinPath(folder, "cards.txt");
    EXPECT_EQ(writeSavedList(m_system, list, {{2, track}}), "");
    EXPECT_EQ(readSavedList(m_system, list).tracks, (std::vector<SavedTrack>{{2, track}}));

    m_form.onYield = [&](test::FakeForm& f) {
        if (f.isVisible(Control::Frame1))
            m_run.Command1_Click();
    };
    m_run.cmdFinish_Click();
    EXPECT_EQ(m_run.outcome().result, RunOutcome::Result::verified) << m_run.outcome().message;
    EXPECT_EQ(readBytes(L"E:\\M0000001.MP3"), pattern(250'000, 4));
}

TEST_F(LongPath, EntriesPastMaxPathAreMadeToldMovedAndDeleted) {
    const std::string folder = deepFolder(m_work.path());
    const std::string made = joinPath(folder, "VELKKEEP");
    const std::string file = joinPath(folder, "OLD.MP3");
    const std::string moved = joinPath(made, "OLD.MP3");
    std::error_code ec;

    EXPECT_TRUE(m_system.makeFolder(made, ec)) << ec.message();
    EXPECT_FALSE(m_system.makeFolder(made, ec)) << "a folder that is there is no failure";
    EXPECT_FALSE(ec) << ec.message();
    {
        const std::vector<std::uint8_t> bytes{'o', 'l', 'd'};
        WrittenFile written = writeFile(m_system, bytes, file);
        ASSERT_FALSE(written.file->close());
    }
    const struct {
        std::string path;
        EntryKind kind;
    } kinds[] = {{file, EntryKind::file}, {made, EntryKind::folder}, {moved, EntryKind::missing}};
    for (const auto& k : kinds) {
        EXPECT_EQ(m_system.entryKind(k.path, true, ec), k.kind) << k.path;
        EXPECT_FALSE(ec) << ec.message();
    }

    EXPECT_FALSE(m_system.moveEntry(file, moved));
    EXPECT_EQ(readBytes(prefixed(moved)), "old");
    EXPECT_TRUE(m_system.removeFolder(made)) << "a folder with a file in it stays";
    // A card's old recordings may be read-only; they go all the same.
    ASSERT_TRUE(::SetFileAttributesW(prefixed(moved).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(m_system.removeFile(moved, {}));
    EXPECT_FALSE(m_system.removeFolder(made));
    EXPECT_EQ(m_system.entryKind(made, false, ec), EntryKind::missing);
}

} // namespace
} // namespace velk
