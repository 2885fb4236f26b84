#pragma once

#include "Win.h"

#include <cstdint>

namespace velk::win32 {

/// A colour in the toolkit's encoding (0x00BBGGRR, or top bit set for a system colour index)
/// as GDI draws it.
[[nodiscard]] COLORREF toColorRef(std::uint32_t colour);

/// A back colour and the brush that paints it; the brush follows every change.
class BackColour {
public:
    explicit BackColour(std::uint32_t colour) { set(colour); }
    ~BackColour();
    BackColour(const BackColour&) = delete;
    BackColour& operator=(const BackColour&) = delete;

    /// Returns false when the colour was already that one.
    bool set(std::uint32_t colour);
    /// Makes the brush again from a system colour, after the scheme changed.
    void refresh();
    [[nodiscard]] std::uint32_t value() const { return m_value; }
    [[nodiscard]] HBRUSH brush() const { return m_brush; }
    [[nodiscard]] COLORREF ref() const { return toColorRef(m_value); }
    /// The colour of text drawn on it, chosen to stand out from it.
    [[nodiscard]] COLORREF ink() const;

private:
    std::uint32_t m_value = 0;
    HBRUSH m_brush = nullptr;
};

} // namespace velk::win32
