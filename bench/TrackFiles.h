#pragma once

// What the card benchmarks share: sixteen 4 MiB tracks in a fresh folder, as a full card's
// worth of messages, and a stopwatch.

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <fstream>
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
inline std::filesystem::path makeTracks(const std::string& folderPrefix, std::vector<std::string>& tracks) {
    std::string top = (std::filesystem::temp_directory_path() / (folderPrefix + "-XXXXXX")).string();
    if (!::mkdtemp(top.data()))
        throw std::runtime_error("mkdtemp failed");
    std::string bytes(trackBytes, '\0');
    for (int i = 1; i <= trackCount; ++i) {
        for (std::size_t b = 0; b < bytes.size(); b += 4096)
            bytes[b] = static_cast<char>(i + b / 4096);
        const std::filesystem::path path = std::filesystem::path(top) / ("track" + std::to_string(i) + ".mp3");
        std::ofstream(path, std::ios::binary) << bytes;
        tracks.push_back(path.string());
    }
    return top;
}

} // namespace bench
