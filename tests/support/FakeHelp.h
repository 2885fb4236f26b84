#pragma once

#include "core/HelpPort.h"

#include <string>

namespace velk::test {

/// A help window double that keeps what the handlers showed.
class FakeHelp : public HelpPort {
public:
    void checkTopic(int topic) override { checked = topic; }
    void showTopic(const std::string& shownText, const std::string& shownPlaceholder) override {
        text = shownText;
        placeholder = shownPlaceholder;
    }

    /// The ticked topic, 0 before any.
    int checked = 0;
    std::string text;
    std::string placeholder;
};

} // namespace velk::test
