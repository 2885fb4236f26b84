#pragma once

#include "ButtonCtrl.h"
#include "Colour.h"
#include "Font.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velk::win32 {

/// A push button drawn by us, so that its face shows the back colour the program sets.
class ColourButton : public ButtonCtrl {
public:
    ColourButton(std::string name, const Twips& box, std::uint32_t colour)
        : ButtonCtrl(std::move(name), box), m_colour(colour) {}

    void create(HWND parent, const std::string& caption, UINT dpi);
    /// The caption alone, without the words its window text may carry for screen readers.
    [[nodiscard]] const std::string& caption() const { return m_caption; }
    [[nodiscard]] std::uint32_t backColour() const { return m_colour.value(); }
    void setBackColour(std::uint32_t colour);
    /// Words for the state the colour shows, added after `separator` to the window text that
    /// Active Accessibility reads as the button's name; "" leaves the caption alone.
    void setStateWords(std::string_view words, std::string_view separator) const;
    /// Words for that state drawn below the caption, both in `small` so that they fit; ""
    /// draws the caption alone. The font must outlive the button.
    void setWord(std::string word, const Font& small);
    [[nodiscard]] const std::string& word() const { return m_word; }
    /// Paints a system back colour again after the scheme changed.
    void refreshColours();

protected:
    bool draw(const DRAWITEMSTRUCT& item) override;

private:
    BackColour m_colour;
    std::string m_caption;
    std::string m_word;
    const Font* m_small = nullptr;
};

} // namespace velk::win32
