#include "Accelerators.h"

#include <algorithm>

namespace velk::win32 {

namespace {

std::vector<const Accelerators*>& all() {
    static std::vector<const Accelerators*> tables;
    return tables;
}

} // namespace

Accelerators::Accelerators(HWND window, const std::vector<ACCEL>& keys)
    : m_window(window), m_table(CreateAcceleratorTableW(const_cast<ACCEL*>(keys.data()),
                                                        static_cast<int>(keys.size()))) {
    all().push_back(this);
}

Accelerators::~Accelerators() {
    std::erase(all(), this);
    DestroyAcceleratorTable(m_table);
}

bool Accelerators::handle(const MSG& message) const {
    // The key must have been pressed in this window, not in the help window beside it.
    if (!message.hwnd || GetAncestor(message.hwnd, GA_ROOT) != m_window)
        return false;
    return TranslateAcceleratorW(m_window, m_table, const_cast<MSG*>(&message)) != 0;
}

bool Accelerators::anyHandles(const MSG& message) {
    return std::any_of(all().begin(), all().end(),
                       [&message](const Accelerators* a) { return a->handle(message); });
}

} // namespace velk::win32
