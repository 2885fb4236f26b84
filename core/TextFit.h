#pragma once

#include <functional>
#include <string>

namespace velk {

/// `text` (UTF-8) as it fits a box that `fits` measures: whole when it fits, otherwise with as
/// few characters of its middle replaced by "…" as make it fit. The start of a "Copying "
/// line says what happens and its end names the file; the folders between matter least.
[[nodiscard]] std::string elideMiddle(const std::string& text,
                                      const std::function<bool(const std::string&)>& fits);

/// How far a face may shrink to fit its captions: from `largest` points down by `step`, to no
/// less than `smallest`.
struct FontSteps {
    double largest = 0;
    double step = 0;
    double smallest = 0;
};

/// The help window's topic captions: the design's 8-point face, never below 6 points, which
/// stays readable beside the option buttons.
inline constexpr FontSteps helpCaptionSteps{8.0, 0.5, 6.0};

/// The largest size of `steps` at which `widestAt(points)`, the widest caption in that size,
/// is no wider than `width`; the smallest size when none is, where a caption is cut off
/// rather than made unreadable.
[[nodiscard]] double fittingPointSize(const FontSteps& steps, int width,
                                      const std::function<int(double points)>& widestAt);

} // namespace velk
