#pragma once

#include "core/Module1.h"
#include "core/TrackList.h"
#include "support/FakeForm.h"
#include "support/FakeSystem.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace velk::test {

/// Creates (or resizes) a file of `size` bytes; large sizes cost nothing, the file is sparse.
inline void makeFile(const std::filesystem::path& path, std::uintmax_t size) {
    std::ofstream(path, std::ios::binary | std::ios::app).flush();
    std::filesystem::resize_file(path, size);
}

/// A state, a window double and the track list, with a source folder shown in File1 and
/// a measured card of 100,000,000 usable bytes.
struct TrackFixture : ::testing::Test {
    TempFolder source;
    Module1 state;
    FakeForm form;
    FakeSystem system;
    TrackList tracks{state, form, system};

    TrackFixture() {
        state.cardBytes = 100'000'000;
        showFolder(source.str());
    }

    /// Points File1 at `folder`, listing no file yet.
    void showFolder(const std::string& folder) {
        form.setText(Control::File1, folder);
        form.clearRows(Control::File1);
    }

    /// Creates `name` in the shown folder and lists it in File1.
    void offer(const std::string& name, std::uintmax_t size) {
        makeFile(std::filesystem::path(form.text(Control::File1)) / name, size);
        list(name);
    }

    /// Lists a name in File1 whether or not such a file exists.
    void list(const std::string& name) {
        const auto rows = form.rows(Control::File1);
        if (std::find(rows.begin(), rows.end(), name) == rows.end())
            form.addRow(Control::File1, name);
    }

    void doubleClick(const std::string& name) {
        const auto rows = form.rows(Control::File1);
        const auto it = std::find(rows.begin(), rows.end(), name);
        ASSERT_NE(it, rows.end()) << name << " is not listed in File1";
        form.select(Control::File1, static_cast<int>(it - rows.begin()));
        tracks.File1_DblClick();
    }

    void add(const std::string& name, std::uintmax_t size) {
        offer(name, size);
        doubleClick(name);
    }

    [[nodiscard]] std::string guidance() const { return form.text(Control::txtTEXT1); }
    [[nodiscard]] std::uint32_t guidanceColour() const {
        return form.backColour(Control::txtTEXT1);
    }
    [[nodiscard]] std::vector<std::string> rows(Control list) const { return form.rows(list); }
};

inline std::string gaugeCaption(const std::string& digits) {
    return std::string("Message Size vs Card Size ") + " " + digits + "%";
}

} // namespace velk::test
