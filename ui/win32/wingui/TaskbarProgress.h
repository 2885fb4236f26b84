#pragma once

// https://learn.microsoft.com/en-us/windows/win32/api/shobjidl_core/nn-shobjidl_core-itaskbarlist3

#include "Win.h"

struct ITaskbarList3;

namespace velk::win32 {

/// A window's taskbar button showing the progress of a task, or that it failed. The shell's
/// taskbar list is asked for at the first use and again when the shell says it made the
/// button (it may start after the window); where the system has none, nothing is shown.
class TaskbarProgress {
public:
    enum class State { none, normal, error };

    explicit TaskbarProgress(HWND window);
    ~TaskbarProgress();
    TaskbarProgress(const TaskbarProgress&) = delete;
    TaskbarProgress& operator=(const TaskbarProgress&) = delete;

    /// `percent` from 0 to 100.
    void show(State state, float percent);
    [[nodiscard]] State state() const { return m_state; }
    /// The message the shell sends once the window's button exists.
    [[nodiscard]] UINT buttonCreatedMessage() const { return m_buttonCreated; }
    /// Shows the state again on a button the shell has just made.
    void buttonCreated();

private:
    void apply();

    HWND m_window;
    UINT m_buttonCreated;
    ITaskbarList3* m_taskbar = nullptr;
    bool m_asked = false;
    State m_state = State::none;
    float m_percent = 0.0f;
};

} // namespace velk::win32
