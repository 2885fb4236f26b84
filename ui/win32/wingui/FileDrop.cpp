#include "FileDrop.h"

#include "Guarded.h"
#include "platform/windows/WindowsText.h"

namespace velk::win32 {

FileDrop::FileDrop(HWND target, Handler handler) : m_target(target), m_handler(std::move(handler)) {
    SetWindowSubclass(m_target, &FileDrop::proc, 0, reinterpret_cast<DWORD_PTR>(this));
    DragAcceptFiles(m_target, TRUE);
}

FileDrop::~FileDrop() {
    if (IsWindow(m_target)) {
        DragAcceptFiles(m_target, FALSE);
        RemoveWindowSubclass(m_target, &FileDrop::proc, 0);
    }
}

std::vector<std::string> FileDrop::paths(HDROP drop) {
    std::vector<std::string> out;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        out.push_back(narrow(path));
    }
    return out;
}

LRESULT CALLBACK FileDrop::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR self) {
    if (message != WM_DROPFILES)
        return DefSubclassProc(hwnd, message, wParam, lParam);
    const auto drop = reinterpret_cast<HDROP>(wParam);
    const std::vector<std::string> dropped = paths(drop);
    // Released before the handler runs: adding tracks may show a message box.
    DragFinish(drop);
    // A disabled control takes no input, a drop included.
    if (!IsWindowEnabled(hwnd))
        return 0;
    return guarded(hwnd, [&]() -> LRESULT {
        reinterpret_cast<FileDrop*>(self)->m_handler(dropped);
        return 0;
    });
}

} // namespace velk::win32
