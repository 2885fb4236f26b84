#include "ProgressBar.h"

#include "core/ProgressShown.h"

#include <cmath>

namespace velk::qt {

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent) {
    setRange(0, steps);
    setValue(0);
    setTextVisible(false);
}

void ProgressBar::setExactValue(float value) {
    m_value = value;
    const float shown = progressShown(value);
    setValue(static_cast<int>(std::lround(shown * steps / 100.0f)));
}

} // namespace velk::qt
