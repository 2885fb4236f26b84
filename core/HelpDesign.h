#pragma once

#include "HelpTopic.h"
#include "Texts.h"
#include "TwipsBox.h"

#include <array>
#include <string_view>

namespace velk {

/// One control of the help window as designed. Both windows build their controls from these.
struct HelpControl {
    std::string_view name;
    TwipsBox box;
    const char* caption = "";
};

/// The help window's client area and its title.
inline constexpr TwipsBox hlpformClient{0, 0, 6180, 4845};
inline constexpr const char* hlpformCaption = text::helpCaption;

/// The topic's text: editable, wrapped at the box's width, always with a vertical scroll bar.
inline constexpr HelpControl helpText{"Text1", {2040, 120, 3975, 4455}};

/// The topic buttons, one exclusive group, topic 1 first. The tab order is Text1, then these.
inline constexpr std::array<HelpControl, HelpTopic::count> helpButtons = {{
    {"hbut1", {120, 240, 1815, 255}, text::helpTopics[0]},
    {"hbut2", {120, 720, 1815, 255}, text::helpTopics[1]},
    {"hbut3", {120, 1200, 1815, 255}, text::helpTopics[2]},
    {"hbut4", {120, 1680, 1815, 255}, text::helpTopics[3]},
    {"hbut5", {120, 2160, 1815, 255}, text::helpTopics[4]},
    {"hbut6", {120, 2640, 1815, 255}, text::helpTopics[5]},
    {"hbut7", {120, 3120, 1815, 255}, text::helpTopics[6]},
    {"hbut8", {120, 3600, 1815, 255}, text::helpTopics[7]},
    {"hbut9", {120, 4080, 1815, 255}, text::helpTopics[8]},
}};

} // namespace velk
