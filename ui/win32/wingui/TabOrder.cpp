#include "TabOrder.h"

#include <algorithm>

namespace velk::win32 {

namespace {

std::vector<const TabOrder*>& all() {
    static std::vector<const TabOrder*> orders;
    return orders;
}

bool canFocus(HWND control) {
    return IsWindowVisible(control) && IsWindowEnabled(control);
}

} // namespace

TabOrder::TabOrder(HWND window) : m_window(window) {
    all().push_back(this);
}

TabOrder::~TabOrder() {
    std::erase(all(), this);
}

bool TabOrder::handleArrow(const MSG& message) const {
    const auto at = std::find(m_group.begin(), m_group.end(), message.hwnd);
    if (at == m_group.end())
        return false;
    const auto size = static_cast<std::ptrdiff_t>(m_group.size());
    const std::ptrdiff_t step = (message.wParam == VK_UP || message.wParam == VK_LEFT) ? -1 : 1;
    const std::ptrdiff_t next = ((at - m_group.begin() + step) % size + size) % size;
    const HWND button = m_group[static_cast<std::size_t>(next)];
    SetFocus(button);
    SendMessageW(button, BM_CLICK, 0, 0);
    return true;
}

bool TabOrder::handlePress(const MSG& message) const {
    if (GetAncestor(message.hwnd, GA_ROOT) != m_window)
        return false;
    if (message.wParam == VK_ESCAPE) {
        if (!m_cancel || !IsWindowVisible(m_cancel))
            return false;
        SendMessageW(m_cancel, BM_CLICK, 0, 0);
        return true;
    }
    if (std::find(m_order.begin(), m_order.end(), message.hwnd) == m_order.end())
        return false;
    wchar_t kind[16] = {};
    GetClassNameW(message.hwnd, kind, 16);
    if (lstrcmpiW(kind, L"Button") != 0)
        return false;
    SendMessageW(message.hwnd, BM_CLICK, 0, 0);
    return true;
}

bool TabOrder::handle(const MSG& message) const {
    if (message.message != WM_KEYDOWN)
        return false;
    switch (message.wParam) {
    case VK_RETURN:
    case VK_ESCAPE:
        return handlePress(message);
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
        return handleArrow(message);
    case VK_TAB:
        break;
    default:
        return false;
    }
    if (m_order.empty())
        return false;
    if (GetAncestor(message.hwnd, GA_ROOT) != m_window)
        return false;
    // The focus may sit in a child of a control (a combo box's edit).
    auto at = std::find_if(m_order.begin(), m_order.end(), [&message](HWND c) {
        return c == message.hwnd || IsChild(c, message.hwnd);
    });
    const auto size = static_cast<std::ptrdiff_t>(m_order.size());
    std::ptrdiff_t index = at == m_order.end() ? -1 : at - m_order.begin();
    const std::ptrdiff_t step = (GetKeyState(VK_SHIFT) & 0x8000) ? -1 : 1;
    for (std::ptrdiff_t tried = 0; tried < size; ++tried) {
        index = ((index + step) % size + size) % size;
        const HWND next = m_order[static_cast<std::size_t>(index)];
        if (canFocus(next) &&
            std::find(m_leftOut.begin(), m_leftOut.end(), next) == m_leftOut.end()) {
            SetFocus(next);
            return true;
        }
    }
    return true;
}

bool TabOrder::anyHandles(const MSG& message) {
    return std::any_of(all().begin(), all().end(),
                       [&message](const TabOrder* o) { return o->handle(message); });
}

} // namespace velk::win32
