#include "ProgressBar.h"

#include <algorithm>
#include <cmath>

namespace velk::ui {

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent) {
    setRange(0, steps);
    setValue(0);
    setTextVisible(false);
}

void ProgressBar::setExactValue(float value) {
    m_value = value;
    // A value past 100 (a source that grew since it was measured) draws as a full bar.
    const float shown = std::isfinite(value) ? std::clamp(value, 0.0f, 100.0f) : 0.0f;
    setValue(static_cast<int>(std::lround(shown * steps / 100.0f)));
}

} // namespace velk::ui
