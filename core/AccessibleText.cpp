#include "AccessibleText.h"

#include "Colours.h"
#include "Texts.h"

namespace velk {

std::string_view colourMeaning(Control c, std::uint32_t colour) {
    switch (c) {
    case Control::cmdDel:
        return colour == colour::white ? text::armedDelete : "";
    case Control::cmdMode0:
    case Control::cmdMode1:
    case Control::cmdMode2:
        return colour == colour::white ? text::armedMode : "";
    // Only the exact button face is ready, as the programming run tests it.
    case Control::Label4:
        return colour == colour::buttonFace ? text::destinationReady : text::destinationNotReady;
    case Control::txtTEXT1:
        return colour == colour::red ? text::guidanceWarning : "";
    default:
        return "";
    }
}

std::string_view colourWord(Control c, std::uint32_t colour) {
    switch (c) {
    case Control::cmdDel:
    case Control::cmdMode0:
    case Control::cmdMode1:
    case Control::cmdMode2:
        return colour == colour::white ? text::armed : "";
    // A screen reader's words for the other states are short enough for the screen.
    default:
        return colourMeaning(c, colour);
    }
}

std::string withWordBelow(std::string_view caption, std::string_view word) {
    std::string shown(caption);
    if (!word.empty())
        shown.append("\n").append(word);
    return shown;
}

std::string guidanceHeading(std::string_view word) {
    std::string heading = text::headingGuidance;
    if (!word.empty())
        heading.append(text::stateSeparator).append(word);
    return heading;
}

} // namespace velk
