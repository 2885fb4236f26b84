#include "FrameCtrl.h"

#include "Guarded.h"

#include "platform/windows/WindowsText.h"

namespace velk::win32 {

namespace {
constexpr const wchar_t* frameClass = L"VelkFrame";
}

void FrameCtrl::create(HWND parent, const std::string& caption, UINT dpi) {
    static const ATOM registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &FrameCtrl::proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = frameClass;
        return RegisterClassW(&wc);
    }();
    (void)registered;
    Ctrl::create(parent, frameClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, caption, dpi);
}

void FrameCtrl::setCaptionFont(HFONT font) {
    m_captionFont = font;
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void FrameCtrl::setBackColour(std::uint32_t colour) {
    if (m_back.set(colour))
        InvalidateRect(hwnd(), nullptr, TRUE);
}

void FrameCtrl::show(bool visible) const {
    if (visible)
        SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    else
        ShowWindow(hwnd(), SW_HIDE);
}

void FrameCtrl::paint() const {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    RECT r;
    GetClientRect(hwnd(), &r);
    FillRect(dc, &r, m_back.brush());

    const HGDIOBJ old =
        SelectObject(dc, m_captionFont ? m_captionFont : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    // The etched edge runs through the middle of the caption, as a group box draws it.
    RECT edge = r;
    edge.top = metrics.tmHeight / 2;
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
    const std::wstring caption = widen(text());
    RECT captionBox{8, 0, r.right - 8, metrics.tmHeight};
    SetBkColor(dc, m_back.ref());
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, toColorRef(m_captionColour));
    DrawTextW(dc, (L" " + caption + L" ").c_str(), -1, &captionBox,
              DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    EndPaint(hwnd(), &ps);
}

LRESULT CALLBACK FrameCtrl::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<FrameCtrl*>(Ctrl::from(hwnd));
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return guarded(hwnd, [&]() -> LRESULT {
        LRESULT result = 0;
        if (message == WM_PAINT) {
            self->paint();
            return 0;
        }
        if (message == WM_ERASEBKGND)
            return 1;
        // The frame's buttons report here, and their handlers run the programming.
        if (Ctrl::route(message, wParam, lParam, result))
            return result;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    });
}

} // namespace velk::win32
