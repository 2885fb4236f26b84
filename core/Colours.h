#pragma once

#include <cstdint>

namespace velk {

// Colours in the window toolkit's encoding: 0x00BBGGRR for RGB, top bit set for a system
// colour whose index is the low byte. Code compares the ready flag by exact value.
namespace colour {
inline constexpr std::uint32_t red = 0x000000FF;
inline constexpr std::uint32_t yellow = 0x0000FFFF;
inline constexpr std::uint32_t white = 0x00FFFFFF;
inline constexpr std::uint32_t black = 0x00000000;
inline constexpr std::uint32_t middleGrey = 0x00808080;
inline constexpr std::uint32_t buttonFace = 0x8000000F;
inline constexpr std::uint32_t highlight = 0x8000000D;
inline constexpr std::uint32_t windowText = 0x80000008;
inline constexpr std::uint32_t highlightText = 0x8000000E;
inline constexpr std::uint32_t grayText = 0x80000011;
inline constexpr std::uint32_t buttonText = 0x80000012;
} // namespace colour

} // namespace velk
