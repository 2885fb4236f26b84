#pragma once

#include <algorithm>
#include <cmath>

namespace velk {

/// The share of ProgressBar1 to draw for `value`, 0 to 100. The value itself is kept as it
/// was set: past 100 (a source that grew since it was measured) the bar is full, and a value
/// that is no number (a total of 0 bytes) leaves it empty.
[[nodiscard]] inline float progressShown(float value) {
    return std::isfinite(value) ? std::clamp(value, 0.0f, 100.0f) : 0.0f;
}

} // namespace velk
