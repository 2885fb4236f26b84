#include "hlpform.h"

#include "core/TextFit.h"
#include "core/Texts.h"
#include "ui/win32/wingui/Guarded.h"
#include "platform/HelpFolder.h"
#include "ui/win32/wingui/TextSize.h"
#include "platform/windows/WindowsText.h"

#include <algorithm>
#include <string>

namespace velk::win32 {

namespace {

constexpr const wchar_t* windowClass = L"VelkHelp";
constexpr DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr Twips client{0, 0, 6180, 4845};
constexpr int buttonWidthTwips = 1815;

// Widest topic caption in `font`, with the option button's circle and the gap after it.
int widestCaption(HWND window, HFONT font, UINT dpi) {
    HDC dc = GetDC(window);
    const HGDIOBJ old = SelectObject(dc, font);
    int widest = 0;
    for (const char* caption : text::helpTopics) {
        const std::wstring wide = widen(caption);
        SIZE size{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return widest + GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi) + MulDiv(6, static_cast<int>(dpi), 96);
}

} // namespace

hlpform::hlpform(HWND owner) { createWindow(owner); }

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
    m_hwnd = CreateWindowExW(0, windowClass, widen(text::helpCaption).c_str(), windowStyle, CW_USEDEFAULT,
                             CW_USEDEFAULT, 0, 0, owner, nullptr, GetModuleHandleW(nullptr), this);
    // Laid out for the system's text size, as the main window is.
    m_dpi = layoutDpi(m_hwnd, GetDpiForWindow(m_hwnd), client);
    RECT r = toPixels(client, m_dpi);
    AdjustWindowRectExForDpi(&r, windowStyle, FALSE, 0, GetDpiForWindow(m_hwnd));
    SetWindowPos(m_hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    m_text1.create(m_hwnd, m_dpi);
    static constexpr std::array<void (hlpform::*)(), HelpTopic::count> handlers = {
        &hlpform::hbut1_Click, &hlpform::hbut2_Click, &hlpform::hbut3_Click,
        &hlpform::hbut4_Click, &hlpform::hbut5_Click, &hlpform::hbut6_Click,
        &hlpform::hbut7_Click, &hlpform::hbut8_Click, &hlpform::hbut9_Click,
    };
    std::vector<HWND> order{m_text1.hwnd()};
    for (int i = 0; i < HelpTopic::count; ++i) {
        auto button = std::make_unique<RadioCtrl>("hbut" + std::to_string(i + 1),
                                                  Twips{120, 240 + 480 * i, buttonWidthTwips, 255});
        button->create(m_hwnd, text::helpTopics[i], m_dpi, i == 0);
        button->onClick = [this, handler = handlers[static_cast<std::size_t>(i)]] { (this->*handler)(); };
        order.push_back(button->hwnd());
        m_hbut[static_cast<std::size_t>(i)] = std::move(button);
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
    const int width = px(buttonWidthTwips, m_dpi);
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
        Form_Load();
        ShowWindow(m_hwnd, SW_SHOWNORMAL);
    } else if (IsIconic(m_hwnd)) {
        ShowWindow(m_hwnd, SW_RESTORE);
    }
    SetWindowPos(m_hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(m_hwnd);
    SetFocus(m_text1.hwnd());
}

void hlpform::close() const { ShowWindow(m_hwnd, SW_HIDE); }

void hlpform::Form_Load() {
    m_helpFolder = helpFolder();
    chooseTopic(1);
}

void hlpform::hbut1_Click() { chooseTopic(1); }
void hlpform::hbut2_Click() { chooseTopic(2); }
void hlpform::hbut3_Click() { chooseTopic(3); }
void hlpform::hbut4_Click() { chooseTopic(4); }
void hlpform::hbut5_Click() { chooseTopic(5); }
void hlpform::hbut6_Click() { chooseTopic(6); }
void hlpform::hbut7_Click() { chooseTopic(7); }
void hlpform::hbut8_Click() { chooseTopic(8); }
void hlpform::hbut9_Click() { chooseTopic(9); }

void hlpform::chooseTopic(int topic) {
    for (int i = 1; i <= HelpTopic::count; ++i)
        hbut(i).setChecked(i == topic);
    m_helpPath = m_helpFolder / helpTopicFile(topic);
    dsphlp();
}

void hlpform::dsphlp() {
    const HelpTopic topic = readHelpTopic(m_helpPath);
    m_text1.setPlaceholder(topic.error);
    m_text1.setText(topic.text);
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
    default: return DefWindowProcW(m_hwnd, message, wParam, lParam);
    }
}

} // namespace velk::win32
