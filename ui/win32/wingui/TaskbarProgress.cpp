#include "TaskbarProgress.h"

#include <shobjidl.h>

#include <cmath>

namespace velk::win32 {

namespace {
constexpr ULONGLONG steps = 1000;
}

TaskbarProgress::TaskbarProgress(HWND window)
    : m_window(window), m_buttonCreated(RegisterWindowMessageW(L"TaskbarButtonCreated")) {}

TaskbarProgress::~TaskbarProgress() {
    if (m_taskbar)
        m_taskbar->Release();
}

void TaskbarProgress::show(State state, float percent) {
    m_state = state;
    m_percent = percent;
    apply();
}

void TaskbarProgress::buttonCreated() {
    if (m_taskbar) {
        m_taskbar->Release();
        m_taskbar = nullptr;
    }
    m_asked = false;
    apply();
}

void TaskbarProgress::apply() {
    if (!m_asked) {
        m_asked = true;
        // COM is already initialised on the window's thread for its accessibility.
        if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_ITaskbarList3, reinterpret_cast<void**>(&m_taskbar))) ||
            FAILED(m_taskbar->HrInit())) {
            if (m_taskbar)
                m_taskbar->Release();
            m_taskbar = nullptr;
        }
    }
    if (!m_taskbar)
        return;
    switch (m_state) {
    case State::none:
        m_taskbar->SetProgressState(m_window, TBPF_NOPROGRESS);
        return;
    case State::normal:
        m_taskbar->SetProgressState(m_window, TBPF_NORMAL);
        m_taskbar->SetProgressValue(
            m_window, static_cast<ULONGLONG>(std::lround(m_percent * steps / 100.0f)), steps);
        return;
    // A whole red bar: the progress bar itself is back at 0 by the time a failure shows.
    case State::error:
        m_taskbar->SetProgressState(m_window, TBPF_ERROR);
        m_taskbar->SetProgressValue(m_window, steps, steps);
        return;
    }
}

} // namespace velk::win32
