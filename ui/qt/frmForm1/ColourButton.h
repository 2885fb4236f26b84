#pragma once

#include "WrapButton.h"

#include <cstdint>

namespace velk::ui {

/// A push button whose face shows a back colour chosen at run time.
class ColourButton : public WrapButton {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ColourButton)
public:
    ColourButton(const QString& caption, std::uint32_t colour, QWidget* parent);

    [[nodiscard]] std::uint32_t backColour() const { return m_colour; }
    void setBackColour(std::uint32_t colour);

private:
    std::uint32_t m_colour = 0;
};

} // namespace velk::ui
