#include "hlpform.h"

#include "core/HelpDesign.h"
#include "core/TextFit.h"
#include "platform/HelpFolder.h"
#include "platform/windows/WindowsText.h"
#include "ui/win32/wingui/Guarded.h"
#include "ui/win32/wingui/TextSize.h"

#include <algorithm>
#include <string>

namespace velk::win32 {

namespace {

constexpr const wchar_t* windowClass = L"VelkHelp";
constexpr DWORD windowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
Twips twips(const TwipsBox& box) {
    return {box.left, box.top, box.width, box.height};
}
const Twips client = twips(hlpformClient);

// Widest topic caption in `font`, with the option button's circle and the gap after it.
int widestCaption(HWND window, HFONT font, UINT dpi) {
    HDC dc = GetDC(window);
    const HGDIOBJ old = SelectObject(dc, font);
    int widest = 0;
    for (const HelpControl& button : helpButtons) {
        const std::wstring wide = widen(button.caption);
        SIZE size{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return widest + GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi) +
           MulDiv(6, static_cast<int>(dpi), 96);
}

} // namespace

hlpform::hlpform(HWND owner)
    : m_text1(std::string(helpText.name), twips(helpText.box), EditCtrl::Scroll::vertical) {
    createWindow(owner);
}

hlpform::~hlpform() {
    if (IsWindow(m_hwnd)) {
        SetWindowLongPtrW(m_hwnd, 0, 0);
        DestroyWindow(m_hwnd);
    }
}

void hlpform::createWindow(HWND owner) {
    static const ATOM registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &hlpform::proc;
        wc.cbWndExtra = sizeof(hlpform*);
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hIcon = LoadIconW(wc.hInstance, L"VELK");
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = windowClass;
        return RegisterClassW(&wc);
    }();
    (void)registered;
    // An owner, not a parent: a top-level window that stays above the main window and goes with it.
    m_hwnd =
        CreateWindowExW(0, windowClass, widen(hlpformCaption).c_str(), windowStyle, CW_USEDEFAULT,
                        CW_USEDEFAULT, 0, 0, owner, nullptr, GetModuleHandleW(nullptr), this);
    // Laid out for the system's text size, as the main window is.
    m_dpi = layoutDpi(m_hwnd, GetDpiForWindow(m_hwnd), client);
    RECT r = toPixels(client, m_dpi);
    AdjustWindowRectExForDpi(&r, windowStyle, FALSE, 0, GetDpiForWindow(m_hwnd));
    SetWindowPos(m_hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    m_text1.create(m_hwnd, m_dpi);
    std::vector<HWND> order{m_text1.hwnd()};
    for (std::size_t i = 0; i < m_hbut.size(); ++i) {
        const HelpControl& design = helpButtons[i];
        auto button = std::make_unique<RadioCtrl>(std::string(design.name), twips(design.box));
        button->create(m_hwnd, design.caption, m_dpi, i == 0);
        button->onClick = [this, click = HelpHandlers::hbutClicks[i]] { (m_handlers.*click)(); };
        order.push_back(button->hwnd());
        m_hbut[i] = std::move(button);
    }
    m_tabs = std::make_unique<TabOrder>(m_hwnd);
    m_tabs->setOptionGroup({order.begin() + 1, order.end()});
    m_tabs->set(std::move(order));
    setFonts();
}

void hlpform::setFonts() {
    const auto face = [this](double points) {
        return Font(L"Tahoma", L"Arial", points, false, m_dpi);
    };
    const int width = px(helpButtons[0].box.width, m_dpi);
    Font font = face(fittingPointSize(helpCaptionSteps, width, [&](double points) {
        return widestCaption(m_hwnd, face(points).handle(), m_dpi);
    }));
    m_text1.setFont(font.handle());
    for (const auto& button : m_hbut)
        button->setFont(font.handle());
    m_font = std::move(font);
}

void hlpform::applyDpi(UINT dpi, const RECT& suggested) {
    m_dpi = dpi;
    setFonts();
    m_text1.place(dpi);
    for (const auto& button : m_hbut)
        button->place(dpi);
    SetWindowPos(m_hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void hlpform::display() {
    if (!IsWindowVisible(m_hwnd)) {
        m_handlers.Form_Load(helpFolder());
        ShowWindow(m_hwnd, SW_SHOWNORMAL);
    } else if (IsIconic(m_hwnd)) {
        ShowWindow(m_hwnd, SW_RESTORE);
    }
    SetWindowPos(m_hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(m_hwnd);
    SetFocus(m_text1.hwnd());
}

void hlpform::close() const {
    ShowWindow(m_hwnd, SW_HIDE);
}

void hlpform::checkTopic(int topic) {
    for (int i = 1; i <= HelpTopic::count; ++i)
        hbut(i).setChecked(i == topic);
}

void hlpform::showTopic(const std::string& text, const std::string& placeholder) {
    m_text1.setPlaceholder(placeholder);
    m_text1.setText(text);
}

LRESULT CALLBACK hlpform::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<hlpform*>(GetWindowLongPtrW(hwnd, 0));
    if (!self || !self->m_hwnd)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return guarded(hwnd, [&] { return self->handle(message, wParam, lParam); });
}

LRESULT hlpform::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (Ctrl::route(message, wParam, lParam, result))
        return result;
    switch (message) {
    case WM_CLOSE:
        // The object lives for the whole run; closing only hides it until the next HELP.
        close();
        return 0;
    case WM_DPICHANGED:
        applyDpi(layoutDpi(m_hwnd, HIWORD(wParam), client), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    default:
        return DefWindowProcW(m_hwnd, message, wParam, lParam);
    }
}

} // namespace velk::win32
