#pragma once

#include "Control.h"

#include <cstdint>

namespace velk {

struct Module1;
class FormPort;
class TrackList;

/// The two-stroke edits of the tracks list: a button arms a delete or a mode change, the
/// next row selected in lstList1 receives it. Also Clear. While a programming run is
/// copying, every handler here does nothing.
class TrackEditor {
public:
    TrackEditor(Module1& state, FormPort& form, TrackList& tracks);

    /// Arms the removal of the next row selected; disarms a mode change.
    void cmdDel_Click();
    /// Arm a change to play mode 0, 1 or 2, which stays armed for every row selected.
    void cmdMode0_Click();
    void cmdMode1_Click();
    void cmdMode2_Click();
    /// Applies what is armed to the selected row; nothing on an empty list or no selection.
    void lstList1_Click();
    /// Empties the table and the three lists, resets the gauge and disarms every edit.
    void newbut_Click();

private:
    void armMode(std::int16_t mode, Control button);
    void showArmed(Control button);
    void showNoneArmed();
    void deleteTrack(int row);
    void changeMode(int row);

    Module1& m_state;
    FormPort& m_form;
    TrackList& m_tracks;
};

} // namespace velk
