#include "PictureCtrl.h"

namespace velk::win32 {

PictureCtrl::~PictureCtrl() {
    if (m_bitmap)
        DeleteObject(m_bitmap);
}

void PictureCtrl::create(HWND parent, const wchar_t* resource, UINT dpi) {
    // SS_NOTIFY lets the mouse reach the control, and with it the tooltip.
    Ctrl::create(parent, L"STATIC", WS_VISIBLE | SS_OWNERDRAW | SS_NOTIFY, 0, "", dpi);
    m_bitmap = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), resource, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

SIZE PictureCtrl::bitmapSize() const {
    BITMAP info{};
    if (!m_bitmap || !GetObjectW(m_bitmap, sizeof(info), &info))
        return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

bool PictureCtrl::draw(const DRAWITEMSTRUCT& item) {
    if (!m_bitmap)
        return false;
    const SIZE size = bitmapSize();
    HDC source = CreateCompatibleDC(item.hDC);
    const HGDIOBJ old = SelectObject(source, m_bitmap);
    SetStretchBltMode(item.hDC, HALFTONE);
    SetBrushOrgEx(item.hDC, 0, 0, nullptr);
    const RECT& r = item.rcItem;
    StretchBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, source, 0, 0, size.cx,
               size.cy, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
    return true;
}

} // namespace velk::win32
