#pragma once

#include <string>

namespace velk {

/// What the help window's handlers need from the window. Texts are UTF-8.
class HelpPort {
public:
    virtual ~HelpPort() = default;

    /// Ticks the button of `topic` (1 to 9) and clears the other eight.
    virtual void checkTopic(int topic) = 0;
    /// Shows `text` in Text1, and `placeholder` in its place while Text1 is empty ("" for none).
    virtual void showTopic(const std::string& text, const std::string& placeholder) = 0;
};

} // namespace velk
