#include "TrackEditor.h"

#include "Colours.h"
#include "FormPort.h"
#include "Module1.h"
#include "Texts.h"
#include "TrackList.h"

#include <string>

namespace velk {

namespace {

constexpr Control editButtons[] = {Control::cmdDel, Control::cmdMode0, Control::cmdMode1,
                                   Control::cmdMode2};
constexpr std::int16_t modeArmed = 2;

} // namespace

TrackEditor::TrackEditor(Module1& state, FormPort& form, TrackList& tracks)
    : m_state(state), m_form(form), m_tracks(tracks) {}

void TrackEditor::showArmed(Control button) {
    for (Control c : editButtons)
        m_form.setBackColour(c, c == button ? colour::white : colour::buttonFace);
}

void TrackEditor::showNoneArmed() {
    for (Control c : editButtons)
        m_form.setBackColour(c, colour::buttonFace);
}

void TrackEditor::cmdDel_Click() {
    if (m_state.runInProgress)
        return;
    m_state.edit.deletePending = 1;
    m_state.edit.editState = 0;
    showArmed(Control::cmdDel);
}

void TrackEditor::armMode(std::int16_t mode, Control button) {
    if (m_state.runInProgress)
        return;
    m_state.edit.deletePending = 0;
    m_state.edit.editState = modeArmed;
    m_state.edit.pendingMode = mode;
    showArmed(button);
}

void TrackEditor::cmdMode0_Click() {
    armMode(0, Control::cmdMode0);
}
void TrackEditor::cmdMode1_Click() {
    armMode(1, Control::cmdMode1);
}
void TrackEditor::cmdMode2_Click() {
    armMode(2, Control::cmdMode2);
}

void TrackEditor::lstList1_Click() {
    if (m_state.runInProgress)
        return;
    if (m_form.rowText(Control::lstList1, 0).empty())
        return;
    const int row = m_form.selectedRow(Control::lstList1);
    if (row < 0 || row >= m_form.rowCount(Control::lstList1))
        return;
    // An armed delete wins over a mode change.
    if (m_state.edit.deletePending == 1)
        deleteTrack(row);
    else if (m_state.edit.editState == modeArmed)
        changeMode(row);
}

void TrackEditor::deleteTrack(int row) {
    TrackTable& t = m_state.tracks;
    const int n = m_form.rowCount(Control::lstList1);
    m_form.removeRow(Control::lstList1, row);

    // The shift reads slot n + 1, one beyond the last track; the table keeps spares for it.
    for (int i = row + 1; i <= n; ++i)
        t.slot(i).srcPath = t.slot(i + 1).srcPath;
    t.slot(n).trackNo = 0;
    for (int i = row + 1; i <= n; ++i)
        t.slot(i).playMode = t.slot(i + 1).playMode;

    m_form.clearRows(Control::lstList2);
    m_form.clearRows(Control::lstListMode);
    for (int i = 1; i <= n - 1; ++i) {
        m_form.addRow(Control::lstList2, std::to_string(i));
        m_form.addRow(Control::lstListMode, std::to_string(t.slot(i).playMode));
        t.slot(i).trackNo = static_cast<std::int16_t>(i);
    }

    m_state.edit.deletePending = 0;
    t.trackCount = static_cast<std::int16_t>(t.trackCount - 1);
    m_form.setBackColour(Control::cmdDel, colour::buttonFace);

    m_tracks.gtflens();
    // A smaller card may have been measured since the tracks were added.
    if (t.messageBytes > m_state.cardBytes) {
        m_form.setText(Control::txtTEXT1, text::exceedsCard);
        m_form.setBackColour(Control::txtTEXT1, colour::red);
        return;
    }
    m_tracks.updateGauge();
    m_form.setText(Control::txtTEXT1, text::selectSource);
    m_form.setBackColour(Control::txtTEXT1, colour::yellow);
}

void TrackEditor::changeMode(int row) {
    TrackTable& t = m_state.tracks;
    t.slot(row + 1).playMode = static_cast<std::uint8_t>(m_state.edit.pendingMode);
    m_form.clearRows(Control::lstListMode);
    const int n = m_form.rowCount(Control::lstList1);
    for (int i = 1; i <= n; ++i)
        m_form.addRow(Control::lstListMode, std::to_string(t.slot(i).playMode));
}

void TrackEditor::newbut_Click() {
    if (m_state.runInProgress)
        return;
    TrackTable& t = m_state.tracks;
    for (int s = 1; s <= TrackTable::slotCount; ++s)
        t.slot(s) = TrackTable::Slot{};
    t.curSlot = 0;
    t.trackCount = 0;
    t.messageBytes = 0;

    m_form.clearRows(Control::lstList1);
    m_form.clearRows(Control::lstList2);
    m_form.clearRows(Control::lstListMode);
    // With messageBytes 0 the gauge reads bar 0 and the digit 0, with or without a card.
    m_tracks.updateGauge();

    // What the buttons show must match what the next selection does.
    m_state.edit = EditWords{};
    showNoneArmed();
}

} // namespace velk
