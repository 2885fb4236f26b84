#include "Font.h"

#include <cmath>
#include <cwchar>

namespace velk::win32 {

namespace {
int CALLBACK found(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM seen) {
    *reinterpret_cast<bool*>(seen) = true;
    return 0;
}
} // namespace

bool Font::installed(const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool seen = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &wanted, found, reinterpret_cast<LPARAM>(&seen), 0);
    ReleaseDC(nullptr, dc);
    return seen;
}

Font::Font(const wchar_t* face, const wchar_t* fallback, double points, bool bold, UINT dpi)
    : m_face(installed(face) ? face : fallback) {
    m_font = CreateFontW(-static_cast<int>(std::lround(points * dpi / 72.0)), 0, 0, 0,
                         bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                         DEFAULT_PITCH | FF_SWISS, m_face);
}

Font::~Font() {
    if (m_font)
        DeleteObject(m_font);
}

} // namespace velk::win32
