#pragma once

#include "WrapButton.h"

#include <cstdint>

namespace velk::qt {

/// A push button whose face shows a back colour chosen at run time. It paints the face itself:
/// not every Qt style honours a button's palette, and a style sheet would load the style-sheet
/// engine, a good part of the window's start, for four buttons.
class ColourButton : public WrapButton {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ColourButton)
public:
    ColourButton(const QString& caption, std::uint32_t colour, QWidget* parent);

    [[nodiscard]] std::uint32_t backColour() const { return m_colour; }
    void setBackColour(std::uint32_t colour);
    /// Words for the state the colour shows, drawn below the caption, both in `small` so that
    /// they fit the button; "" for none.
    void setWord(const QString& word, const QFont& small);
    [[nodiscard]] QString shownCaption() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::uint32_t m_colour = 0;
    QString m_word;
    QFont m_small;
};

} // namespace velk::qt
