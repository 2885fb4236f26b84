#pragma once

// INDEX123.VKM as tests write it to a card or expect to find it there: a count byte, then per
// track its number, its play mode and the 12-byte name of its file on the card.

#include <cstddef>
#include <string>
#include <vector>

namespace velk::test {

inline std::string indexRecord(int number, int mode, const std::string& name) {
    return std::string{static_cast<char>(number), static_cast<char>(mode)} + name;
}

/// The index a run writes for tracks numbered 1, 2, ... in slot order, with these modes.
inline std::string indexFor(const std::vector<int>& modes) {
    std::string index(1, static_cast<char>(modes.size()));
    // The count of an empty list is followed by one zero byte.
    if (modes.empty())
        index.push_back('\0');
    for (std::size_t i = 0; i < modes.size(); ++i) {
        const std::string slot = (i + 1 < 10 ? "0" : "") + std::to_string(i + 1);
        index += indexRecord(static_cast<int>(i + 1), modes[i], "M00000" + slot + ".MP3");
    }
    return index;
}

} // namespace velk::test
