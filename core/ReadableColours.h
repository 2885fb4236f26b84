#pragma once

#include <cstdint>

namespace velk {

/// The colour a caption or text is drawn in on a back colour (both in the toolkit's
/// encoding). On a system colour it is that colour's own text colour (the button face takes
/// the button text); on a fixed colour black or white, whichever stands out more. The
/// system's window text is never used on a fixed colour: a dark scheme makes it white on the
/// guidance box's yellow.
[[nodiscard]] std::uint32_t textColourOn(std::uint32_t back);

/// The colour of a locked control's caption on a back colour: the system's grey text on a
/// system colour, a middle grey on a fixed one, where the system's grey may be a scheme's
/// bright green on white.
[[nodiscard]] std::uint32_t lockedTextColourOn(std::uint32_t back);

/// True when the window tells its coloured states in words on screen as well: the system
/// runs a high-contrast scheme, or its window colour is darker than its window text (a dark
/// theme). There the fixed yellow, red and white stand out from everything around them, and
/// an operator who set such a scheme may not tell them apart. Colours are 0x00BBGGRR.
[[nodiscard]] bool coloursInWords(bool highContrast, std::uint32_t windowRgb,
                                  std::uint32_t windowTextRgb);

} // namespace velk
