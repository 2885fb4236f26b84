#include "HelpHandlers.h"

#include "HelpPort.h"

namespace velk {

void HelpHandlers::Form_Load(const std::filesystem::path& helpFolder) {
    m_helpFolder = helpFolder;
    chooseTopic(1);
}

void HelpHandlers::chooseTopic(int topic) {
    m_window.checkTopic(topic);
    m_helpPath = m_helpFolder / helpTopicFile(topic);
    dsphlp();
}

void HelpHandlers::dsphlp() {
    const HelpTopic topic = readHelpTopic(m_helpPath);
    m_window.showTopic(topic.text, topic.error);
}

} // namespace velk
