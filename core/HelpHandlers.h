#pragma once

#include "HelpTopic.h"

#include <array>
#include <filesystem>

namespace velk {

class HelpPort;

/// The help window's event handlers. A window binds its topic buttons to `hbutClicks`.
class HelpHandlers {
public:
    explicit HelpHandlers(HelpPort& window) : m_window(window) {}

    /// Takes `helpFolder` as the folder of the topics until the next load, and shows topic 1.
    void Form_Load(const std::filesystem::path& helpFolder);
    void hbut1_Click() { chooseTopic(1); }
    void hbut2_Click() { chooseTopic(2); }
    void hbut3_Click() { chooseTopic(3); }
    void hbut4_Click() { chooseTopic(4); }
    void hbut5_Click() { chooseTopic(5); }
    void hbut6_Click() { chooseTopic(6); }
    void hbut7_Click() { chooseTopic(7); }
    void hbut8_Click() { chooseTopic(8); }
    void hbut9_Click() { chooseTopic(9); }

    /// The click handler of each topic's button, topic 1 first.
    static constexpr std::array<void (HelpHandlers::*)(), HelpTopic::count> hbutClicks = {
        &HelpHandlers::hbut1_Click, &HelpHandlers::hbut2_Click, &HelpHandlers::hbut3_Click,
        &HelpHandlers::hbut4_Click, &HelpHandlers::hbut5_Click, &HelpHandlers::hbut6_Click,
        &HelpHandlers::hbut7_Click, &HelpHandlers::hbut8_Click, &HelpHandlers::hbut9_Click,
    };

private:
    /// Ticks the topic and shows its file, read afresh: an edited topic shows as it now is.
    void chooseTopic(int topic);
    void dsphlp();

    HelpPort& m_window;
    std::filesystem::path m_helpFolder;
    std::filesystem::path m_helpPath;
};

} // namespace velk
