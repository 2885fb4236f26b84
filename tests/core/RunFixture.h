#pragma once

#include "TrackFixture.h"

#include "core/Colours.h"
#include "core/Module1.h"
#include "core/ProgrammingRun.h"
#include "support/Bytes.h"
#include "support/FakeForm.h"
#include "support/FakeSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace velk::test {

/// Names in a folder, sorted; sub-folders end in '/'.
inline std::vector<std::string> listing(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(
            entry.path().filename().string() +
            (entry.symlink_status().type() == std::filesystem::file_type::directory ? "/" : ""));
    std::sort(names.begin(), names.end());
    return names;
}

/// A programming run on a ready card "e:" whose root is a temporary folder, staging its
/// index in another temporary folder made current for the test.
struct RunFixture : ::testing::Test {
    TempFolder work;
    TempFolder source;
    TempFolder card;
    Module1 state;
    FakeForm form;
    FakeSystem system;
    ProgrammingRun run{state, form, system};
    std::filesystem::path previousFolder = std::filesystem::current_path();

    RunFixture() {
        std::filesystem::current_path(work.path());
        useCard(card.str());
    }
    ~RunFixture() override { std::filesystem::current_path(previousFolder); }

    /// Makes `root` the ready card's root folder.
    void useCard(const std::string& root) {
        system.table.clear();
        system.order.clear();
        system.addCard("e:", root);
        cardRoot = root;
        form.setText(Control::Drive1, "e:");
        form.setBackColour(Control::Label4, colour::buttonFace);
    }

    /// Lists a track as the track list would: rows in the three lists, the slot, the total.
    std::string addTrack(const std::string& name, const std::string& content,
                         std::uint8_t mode = 0) {
        const std::string path = (source.path() / name).string();
        writeBytes(path, content);
        addListed(name, path, mode);
        state.tracks.messageBytes += static_cast<std::int32_t>(content.size());
        return path;
    }

    /// Lists a row whose slot holds `path` as given, without touching the file.
    void addListed(const std::string& name, const std::string& path, std::uint8_t mode = 0) {
        const int slot = form.rowCount(Control::lstList1) + 1;
        form.addRow(Control::lstList1, name);
        form.addRow(Control::lstList2, std::to_string(slot));
        form.addRow(Control::lstListMode, std::to_string(mode));
        TrackTable::Slot& s = state.tracks.slot(slot);
        s.srcPath = path;
        s.trackNo = static_cast<std::int16_t>(slot);
        s.playMode = mode;
        state.tracks.trackCount = static_cast<std::int16_t>(slot);
        state.tracks.curSlot = static_cast<std::int16_t>(slot);
    }

    /// The operator presses O.K. as soon as the question is shown; `also` runs at every yield.
    void answer(bool ok, std::function<void(FakeForm&)> also = {}) {
        form.onYield = [this, ok, also](FakeForm& f) {
            if (also)
                also(f);
            if (f.isVisible(Control::Frame1))
                ok ? run.Command1_Click() : run.Command2_Click();
        };
    }

    [[nodiscard]] std::vector<std::string> cardFiles() const { return listing(cardRoot); }
    [[nodiscard]] std::string onCard(const std::string& name) const {
        return readBytes(std::filesystem::path(cardRoot) / name);
    }
    [[nodiscard]] std::string staged() const { return readBytes(work.path() / "INDEX123.VKM"); }
    [[nodiscard]] std::string cardPath(const std::string& name) const {
        return (std::filesystem::path(cardRoot) / name).string();
    }

    /// The track list as rows and slots, to show that a run left it alone.
    [[nodiscard]] std::vector<std::string> trackList() const {
        std::vector<std::string> out = form.rows(Control::lstList1);
        for (int s = 1; s <= form.rowCount(Control::lstList1); ++s) {
            const TrackTable::Slot& slot = state.tracks.slot(s);
            out.push_back(slot.srcPath + "#" + std::to_string(slot.trackNo) + "#" +
                          std::to_string(slot.playMode));
        }
        out.push_back(std::to_string(state.tracks.messageBytes));
        return out;
    }

    std::string cardRoot;
};

} // namespace velk::test
