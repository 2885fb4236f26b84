#include "PopupMenu.h"

#include "platform/windows/WindowsText.h"

namespace velk::win32 {

UINT showPopupMenu(HWND owner, POINT screen, const std::vector<MenuEntry>& entries) {
    const HMENU menu = CreatePopupMenu();
    for (const MenuEntry& entry : entries)
        AppendMenuW(menu, MF_STRING | (entry.enabled ? MF_ENABLED : MF_GRAYED), entry.id,
                    widen(entry.caption).c_str());
    const auto chosen = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
        screen.x, screen.y, 0, owner, nullptr));
    DestroyMenu(menu);
    return chosen;
}

POINT contextMenuPoint(HWND control, LPARAM lParam) {
    if (lParam != -1)
        return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    RECT r;
    GetWindowRect(control, &r);
    return {r.left, r.top};
}

} // namespace velk::win32
