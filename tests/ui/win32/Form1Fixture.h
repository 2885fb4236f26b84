#pragma once

#include "WindowDriver.h"
#include "support/FakeSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace velk::test::win32window {

/// The main window over a fake system (c: fixed, f: an empty reader, e: a card), started in a
/// folder that fillHere() fills: by default a.mp3, B.NVR, c.txt and a sub-folder.
class frmForm1Test : public ::testing::Test {
protected:
    virtual void fillHere() {
        m_here.write("a.mp3", "a");
        m_here.write("B.NVR", "b");
        m_here.write("c.txt", "c");
        std::filesystem::create_directory(m_here.path() / "sub");
    }
    void SetUp() override {
        fillHere();
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_here.path());
        m_system.addFixed("c:", "C:\\");
        m_system.addEmptyReader("f:");
        m_system.addCard("e:", m_card.utf8());
        m_system.current = "c:";
        m_form = std::make_unique<win32::frmForm1>(m_system);
        m_form->show();
    }
    void TearDown() override {
        m_form.reset();
        forgetQuit();
        std::filesystem::current_path(m_previous);
    }

    win32::Ctrl& c(const char* name) { return control(*m_form, name); }
    std::string guidance() const {
        return m_form->controls().get<win32::EditCtrl>("txtTEXT1").text();
    }
    std::uint32_t label4Colour() const {
        return m_form->controls().get<win32::LabelCtrl>("Label4").backColour();
    }

    TempFolder m_here{"here"};
    TempFolder m_card{"card"};
    std::filesystem::path m_previous;
    FakeSystem m_system;
    std::unique_ptr<win32::frmForm1> m_form;
};

} // namespace velk::test::win32window
