#pragma once

// https://learn.microsoft.com/en-us/windows/win32/controls/progress-bar-control

#include "Ctrl.h"

namespace velk::win32 {

/// The common-controls progress bar over 0 to 100. It keeps the exact value it was given and
/// draws the share it is told to show on a range a thousand times finer, so that 37.9 shows
/// as 37.9.
class ProgressCtrl : public Ctrl {
public:
    static constexpr int steps = 100000;

    using Ctrl::Ctrl;

    void create(HWND parent, UINT dpi);
    [[nodiscard]] float value() const { return m_value; }
    /// Keeps `value` and draws `shown`, 0 to 100.
    void setValue(float value, float shown);
    /// The position the control holds, 0 to steps.
    [[nodiscard]] int position() const;

private:
    float m_value = 0.0f;
};

} // namespace velk::win32
