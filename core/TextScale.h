#pragma once

namespace velk {

/// The text size of a desktop whose operator changed nothing, in points: Windows' message text.
inline constexpr double defaultTextPoints = 9.0;

/// How much larger than designed the window is laid out for the system's text size, which
/// the operator sets for every program: the system's message text against the default,
/// never smaller than designed and at most `largest`, the scale at which the window still
/// fits the screen. The fixed layout grows as a whole, so that every caption keeps its box.
[[nodiscard]] double textScale(double systemTextPoints, double largest);

} // namespace velk
