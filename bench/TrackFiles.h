#pragma once

// What the card benchmarks share: sixteen 4 MiB tracks in a fresh folder, as a full card's
// worth of messages, a loop card to copy them to, and a stopwatch.

#include "support/LoopCard.h"

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <stdlib.h>

namespace bench {

inline constexpr int trackCount = 16;
inline constexpr std::size_t trackBytes = std::size_t{4} << 20;

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

/// track1.mp3 ... track16.mp3, each page of each file different, in a new folder under the
/// temporary folder; their paths go to `tracks`.
inline std::filesystem::path makeTracks(const std::string& folderPrefix,
                                        std::vector<std::string>& tracks) {
    std::string top =
        (std::filesystem::temp_directory_path() / (folderPrefix + "-XXXXXX")).string();
    if (!::mkdtemp(top.data()))
        throw std::runtime_error("mkdtemp failed");
    std::string bytes(trackBytes, '\0');
    for (int i = 1; i <= trackCount; ++i) {
        for (std::size_t b = 0; b < bytes.size(); b += 4096)
            bytes[b] = static_cast<char>(i + b / 4096);
        const std::filesystem::path path =
            std::filesystem::path(top) / ("track" + std::to_string(i) + ".mp3");
        std::ofstream(path, std::ios::binary) << bytes;
        tracks.push_back(path.string());
    }
    return top;
}

/// The tracks and an empty 128 MiB loop card, both gone with the object.
class TracksAndCard {
protected:
    explicit TracksAndCard(const std::string& folderPrefix)
        : m_sources(makeTracks(folderPrefix, m_tracks)) {
        velk::test::LoopCard::Options options;
        options.imageBytes = std::uint64_t{128} << 20;
        m_card = std::make_unique<velk::test::LoopCard>(options);
    }
    ~TracksAndCard() {
        m_card.reset();
        std::error_code ignored;
        std::filesystem::remove_all(m_sources, ignored);
    }
    TracksAndCard(const TracksAndCard&) = delete;
    TracksAndCard& operator=(const TracksAndCard&) = delete;

    std::vector<std::string> m_tracks;
    std::filesystem::path m_sources;
    std::unique_ptr<velk::test::LoopCard> m_card;
};

} // namespace bench
