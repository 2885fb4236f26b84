#pragma once

// The main window's handlers on the real system, driven as an operator would, and what the
// tests on real cards need to say what a card holds.

#include "core/CardMonitor.h"
#include "core/Colours.h"
#include "core/Module1.h"
#include "core/ProgrammingRun.h"
#include "core/TrackEditor.h"
#include "core/TrackList.h"
#include "support/CardIndex.h"
#include "support/FakeForm.h"

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace velk::test {

using CardFiles = std::map<std::string, std::string>;

/// Empty when `actual` holds exactly the files of `expected`, else what differs: a file
/// missing or extra, or the sizes and the first differing byte (contents are too long to
/// print).
inline std::string differences(const CardFiles& actual, const CardFiles& expected) {
    std::string out;
    for (const auto& [name, bytes] : expected) {
        const auto it = actual.find(name);
        if (it == actual.end()) {
            out += name + " missing; ";
            continue;
        }
        if (it->second == bytes)
            continue;
        std::size_t at = 0;
        while (at < bytes.size() && at < it->second.size() && bytes[at] == it->second[at])
            ++at;
        out += name + " holds " + std::to_string(it->second.size()) + " bytes, expected " +
               std::to_string(bytes.size()) + ", first difference at byte " + std::to_string(at) +
               "; ";
    }
    for (const auto& [name, bytes] : actual)
        if (!expected.contains(name))
            out += name + " (" + std::to_string(bytes.size()) + " bytes) should not be there; ";
    return out;
}

/// One window of the program: its core handlers on a fake window and the real system.
struct Window {
    explicit Window(const SystemPort& system)
        : tracks(state, form, system), monitor(state, form, system), run(state, form, system) {}

    /// Picks the card's reader in Drive1 and lets the monitor measure it. False when the
    /// monitor does not find a ready card there.
    bool chooseCard(const std::string& device) {
        form.setText(Control::Drive1, device);
        monitor.Timer1_Timer();
        return form.backColour(Control::Label4) == colour::buttonFace;
    }

    /// Double-clicks `name` in the file list showing `folder`.
    void add(const std::string& folder, const std::string& name) {
        form.setText(Control::File1, folder);
        form.clearRows(Control::File1);
        form.addRow(Control::File1, name);
        form.select(Control::File1, 0);
        tracks.File1_DblClick();
    }

    /// Gives the track in `row` the play mode `mode` with the Mode button and a click.
    void setMode(int row, int mode) {
        if (mode == 0)
            editor.cmdMode0_Click();
        else if (mode == 1)
            editor.cmdMode1_Click();
        else
            editor.cmdMode2_Click();
        form.select(Control::lstList1, row);
        editor.lstList1_Click();
    }

    /// From now on, at every yield: the monitor ticks as its timer would, `also` plays the
    /// operator, and an open wipe question is answered O.K.
    void operate(std::function<void(FakeForm&)> also = {}) {
        form.onYield = [this, also = std::move(also)](FakeForm& f) {
            monitor.Timer1_Timer();
            if (also)
                also(f);
            if (f.isVisible(Control::Frame1))
                run.Command1_Click();
        };
    }

    [[nodiscard]] bool completed() const {
        for (const std::string& m : form.messages)
            if (m == "DOWNLOAD COMPLETE")
                return true;
        return false;
    }

    [[nodiscard]] bool showedStep(const std::string& caption) const {
        for (const std::string& c : form.label7History)
            if (c == caption)
                return true;
        return false;
    }

    Module1 state;
    FakeForm form;
    TrackList tracks;
    TrackEditor editor{state, form, tracks};
    CardMonitor monitor;
    ProgrammingRun run;
};

} // namespace velk::test
