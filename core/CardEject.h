#pragma once

namespace velk {

struct Module1;
class FormPort;
class SystemPort;

/// "Eject card", from Drive1's menu or its key: makes the card in Drive1 safe to take out
/// once it is programmed, so that a pulled card never leaves its file system half written.
class CardEject {
public:
    CardEject(const Module1& state, FormPort& form, const SystemPort& system);

    /// True while a card is ready in Drive1 and no programming run holds it.
    [[nodiscard]] bool enabled() const;
    /// Does nothing unless enabled. Ejected, a box says that the card can be taken out (the
    /// monitor's next tick shows the reader without a ready card); refused, the card stays
    /// as it was, the guidance box says so in red and a box gives the system's reason.
    void Drive1_EjectCard();

private:
    const Module1& m_state;
    FormPort& m_form;
    const SystemPort& m_system;
};

} // namespace velk
