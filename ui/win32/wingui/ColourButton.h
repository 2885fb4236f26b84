#pragma once

#include "ButtonCtrl.h"
#include "Colour.h"

#include <cstdint>

namespace velk::win {

/// A push button drawn by us, so that its face shows the back colour the program sets.
class ColourButton : public ButtonCtrl {
public:
    ColourButton(std::string name, const Twips& box, std::uint32_t colour)
        : ButtonCtrl(std::move(name), box), m_colour(colour) {}

    void create(HWND parent, const std::string& caption, UINT dpi);
    [[nodiscard]] std::uint32_t backColour() const { return m_colour.value(); }
    void setBackColour(std::uint32_t colour);

protected:
    bool draw(const DRAWITEMSTRUCT& item) override;

private:
    BackColour m_colour;
};

} // namespace velk::win
