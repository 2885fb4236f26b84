#include "RunFlag.h"

#include "Control.h"
#include "FormPort.h"
#include "Module1.h"

namespace velk {

namespace {

constexpr Control lockedDuringRun[] = {Control::File1,    Control::lstList1,  Control::cmdDel,
                                       Control::cmdMode0, Control::cmdMode1,  Control::cmdMode2,
                                       Control::newbut,   Control::cmdFinish, Control::Drive1};

} // namespace

RunFlag::RunFlag(Module1& state, FormPort& form) : m_state(state), m_form(form) {
    set(true);
}

RunFlag::~RunFlag() {
    set(false);
}

void RunFlag::set(bool running) {
    m_state.runInProgress = running;
    for (const Control c : lockedDuringRun)
        m_form.setEnabled(c, !running);
}

} // namespace velk
