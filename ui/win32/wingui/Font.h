#pragma once

#include "Win.h"

#include <utility>

namespace velk::win32 {

/// A GDI font made for one DPI, deleted with the object. Controls keep drawing with the
/// handle they were given, so a new font is handed to them before the old one goes: make the
/// new one, set it on the controls, then move it over the old.
class Font {
public:
    Font() = default;
    /// `face` at `points` for `dpi`; a face the system lacks is replaced by `fallback`.
    Font(const wchar_t* face, const wchar_t* fallback, double points, bool bold, UINT dpi);
    ~Font();
    Font(Font&& other) noexcept
        : m_font(std::exchange(other.m_font, nullptr)), m_face(other.m_face) {}
    Font& operator=(Font&& other) noexcept {
        std::swap(m_font, other.m_font);
        std::swap(m_face, other.m_face);
        return *this;
    }

    [[nodiscard]] HFONT handle() const { return m_font; }
    /// The face the font was made with.
    [[nodiscard]] const wchar_t* face() const { return m_face; }

    [[nodiscard]] static bool installed(const wchar_t* face);

private:
    HFONT m_font = nullptr;
    const wchar_t* m_face = L"";
};

} // namespace velk::win32
