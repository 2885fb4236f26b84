#pragma once

#include "Win.h"

namespace velk::win {

/// A GDI font made for one DPI, deleted with the object.
class Font {
public:
    Font() = default;
    ~Font() { reset(); }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    /// `face` at `points` for `dpi`; a face the system lacks is replaced by `fallback`.
    void make(const wchar_t* face, const wchar_t* fallback, double points, bool bold, UINT dpi);
    [[nodiscard]] HFONT handle() const { return m_font; }
    /// The face the font was made with.
    [[nodiscard]] const wchar_t* face() const { return m_face; }

    [[nodiscard]] static bool installed(const wchar_t* face);

private:
    void reset();

    HFONT m_font = nullptr;
    const wchar_t* m_face = L"";
};

} // namespace velk::win
