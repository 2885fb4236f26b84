#pragma once

// https://learn.microsoft.com/en-us/windows/win32/controls/static-controls

#include "Colour.h"
#include "Ctrl.h"
#include "Font.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace velk::win32 {

/// Static text, centred or left-aligned, with or without a single-line border, in the
/// window's colours unless a back colour is set. A wrapped label breaks its text into as many
/// lines as it needs, inside a word too when one is wider than the box (a path), and centres
/// them both ways; a text taller than the box is shortened as the window asks. A label
/// whose back colour shows a state can show the words for it below its caption.
class LabelCtrl : public Ctrl {
public:
    enum class Align { left, centre, wrapped };
    enum class Border { none, single };
    /// `text` made short enough for `fits` to accept it.
    using Shorten = std::function<std::string(const std::string& text,
                                              const std::function<bool(const std::string&)>& fits)>;

    LabelCtrl(std::string name, const Twips& box, Align align, Border border,
              bool showsState = false)
        : Ctrl(std::move(name), box), m_align(align), m_border(border), m_showsState(showsState) {}

    void create(HWND parent, const std::string& caption, UINT dpi);
    /// How a wrapped label shortens a text taller than its box; without one it is cut off.
    void setShorten(Shorten shorten) { m_shorten = std::move(shorten); }
    /// The text as the label shows it in its box.
    [[nodiscard]] std::string shownText() const;
    /// The back colour set, or the button face a label has by default.
    [[nodiscard]] std::uint32_t backColour() const;
    void setBackColour(std::uint32_t colour);
    /// The caption of a label made to show a state, without the words its window text may
    /// carry for screen readers; the window text of any other.
    [[nodiscard]] std::string caption() const;
    void setCaption(const std::string& utf8);
    /// Words for the state its colour shows, added after `separator` to the window text that
    /// Active Accessibility reads as the name, where nothing else can tell them; "" for none.
    void setStateWords(std::string_view words, std::string_view separator);
    /// Words for the state its colour shows, drawn below the caption, both in `small` so that
    /// they fit; "" draws the caption alone. Only a label made to show a state draws them; the
    /// font must outlive the label.
    void setWord(std::string word, const Font& small);
    [[nodiscard]] const std::string& word() const { return m_word; }
    /// Paints a system back colour again after the scheme changed.
    void refreshColours();

protected:
    HBRUSH colours(HDC dc) override;
    bool draw(const DRAWITEMSTRUCT& item) override;

private:
    void drawState(const DRAWITEMSTRUCT& item) const;
    /// The caption as it fits `box`.
    [[nodiscard]] std::wstring fitted(HDC dc, const std::wstring& caption, const RECT& box) const;

    Align m_align;
    Border m_border;
    bool m_showsState;
    std::optional<BackColour> m_colour;
    std::string m_caption;
    std::string m_stateWords;
    std::string m_separator;
    Shorten m_shorten;
    std::string m_word;
    const Font* m_small = nullptr;
};

} // namespace velk::win32
