#include "core/IndexReader.h"
#include "core/CardImage.h"
#include "core/TrackTable.h"
#include "support/CardIndex.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velk {
namespace {

using test::indexRecord;

std::vector<std::uint8_t> bytesOf(const std::string& s) {
    return {s.begin(), s.end()};
}

TEST(IndexReader, WhatTheWriterWritesReadsBackRecordForRecord) {
    const CardNames names = buildCardNames();
    for (const int n : {0, 1, 2, 9, 10, 16}) {
        TrackTable t;
        for (int s = 1; s <= n; ++s) {
            t.slot(s).srcPath = "x";
            t.slot(s).trackNo = static_cast<std::int16_t>(s);
            t.slot(s).playMode = static_cast<std::uint8_t>(s % 3);
        }
        t.trackCount = static_cast<std::int16_t>(n);
        const IndexContent read = parseIndex(indexBytes(t, names));
        ASSERT_TRUE(read.ok()) << n << " tracks: " << read.error;
        ASSERT_EQ(read.records.size(), static_cast<std::size_t>(n));
        for (int s = 1; s <= n; ++s)
            EXPECT_EQ(read.records[static_cast<std::size_t>(s - 1)],
                      (IndexRecord{static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(s % 3),
                                   names[s]}));
    }
}

TEST(IndexReader, ATrackMayNameAnotherSlotsFile) {
    const IndexContent read = parseIndex(bytesOf("\x01" + indexRecord(1, 2, "M0000020.MP3")));
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.records[0].cardName, "M0000020.MP3");
    EXPECT_EQ(read.records[0].playMode, 2);
}

struct Malformed {
    const char* what;
    std::string bytes;
    std::string error;
};

class MalformedIndex : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedIndex, IsRefusedWithItsFault) {
    const IndexContent read = parseIndex(bytesOf(GetParam().bytes));
    EXPECT_FALSE(read.ok());
    EXPECT_TRUE(read.records.empty());
    EXPECT_EQ(read.error, GetParam().error);
}

const std::string one = indexRecord(1, 0, "M0000001.MP3");
const std::string two = indexRecord(2, 1, "M0000002.MP3");

INSTANTIATE_TEST_SUITE_P(
    Faults, MalformedIndex,
    ::testing::Values(
        Malformed{"empty", "", "the INDEX file is empty"},
        Malformed{"count byte alone", std::string(1, '\0'),
                  "the INDEX file is 1 byte long, not 1 byte and 14 for each track"},
        Malformed{"no tracks with a stray byte", std::string(3, '\0'),
                  "the INDEX file is 3 bytes long, not 1 byte and 14 for each track"},
        Malformed{"two bytes that are not 00 00", std::string("\x01\x01", 2),
                  "the INDEX file is 2 bytes long, not 1 byte and 14 for each track"},
        Malformed{"record cut short", "\x02" + one + two.substr(0, 13),
                  "the INDEX file is 28 bytes long, not 1 byte and 14 for each track"},
        Malformed{"count above the records", "\x02" + one,
                  "the INDEX file's count byte says 2 tracks, but it holds records for 1"},
        Malformed{"count below the records", "\x01" + one + two,
                  "the INDEX file's count byte says 1 tracks, but it holds records for 2"},
        Malformed{"count 0 with a record", std::string(1, '\0') + one,
                  "the INDEX file's count byte says 0 tracks, but it holds records for 1"},
        Malformed{"numbers out of order", "\x02" + two + indexRecord(1, 0, "M0000001.MP3"),
                  "track 1 has the number 2"},
        Malformed{"play mode 3", "\x02" + one + indexRecord(2, 3, "M0000002.MP3"),
                  "track 2 has play mode 3, not 0, 1 or 2"},
        Malformed{"lower case", "\x01" + indexRecord(1, 0, "m0000001.mp3"),
                  "track 1 names \"m0000001.mp3\", not a card file M00000nn.MP3"},
        Malformed{"other extension", "\x01" + indexRecord(1, 0, "M0000001.NVR"),
                  "track 1 names \"M0000001.NVR\", not a card file M00000nn.MP3"},
        Malformed{"slot 0", "\x01" + indexRecord(1, 0, "M0000000.MP3"),
                  "track 1 names \"M0000000.MP3\", not a card file M00000nn.MP3"},
        Malformed{"slot 21", "\x01" + indexRecord(1, 0, "M0000021.MP3"),
                  "track 1 names \"M0000021.MP3\", not a card file M00000nn.MP3"},
        Malformed{"stray bytes in the name",
                  "\x01" + indexRecord(1, 0,
                                       std::string("M00\0\xff"
                                                   "01.MP3!",
                                                   12)),
                  "track 1 names \"M00??01.MP3!\", not a card file M00000nn.MP3"}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

} // namespace
} // namespace velk
