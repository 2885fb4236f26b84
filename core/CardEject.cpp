#include "CardEject.h"

#include "Colours.h"
#include "FormPort.h"
#include "Module1.h"
#include "Sentence.h"
#include "SystemPort.h"
#include "Texts.h"

#include <string>

namespace velk {

CardEject::CardEject(const Module1& state, FormPort& form, const SystemPort& system)
    : m_state(state), m_form(form), m_system(system) {}

bool CardEject::enabled() const {
    return m_form.backColour(Control::Label4) == colour::buttonFace && !m_state.runInProgress;
}

// Success goes into a box, not the guidance box: the card is no longer ready, so the monitor
// writes its own text there at the next tick.
void CardEject::Drive1_EjectCard() {
    if (!enabled())
        return;
    const std::string drive = m_form.text(Control::Drive1);
    const std::string refusal = m_system.ejectCard(drive);
    if (refusal.empty()) {
        m_form.messageBox(fill(text::cardEjected, {{"drive", drive}}));
        return;
    }
    m_form.setText(Control::txtTEXT1, text::cardNotEjected);
    m_form.setBackColour(Control::txtTEXT1, colour::red);
    m_form.messageBox(fill(text::ejectFailed, {{"drive", drive}, {"reason", refusal}}));
}

} // namespace velk
