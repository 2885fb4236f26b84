#pragma once

#include "WindowDriver.h"
#include "support/FakeSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velk::test::win32window {

/// The main window over a fake system: c: a fixed drive, s: the source folder, e: a ready
/// card, chosen in Drive1. The program works in the staging folder, where it stages its
/// index and starts its folder lists; message boxes are recorded. A test fills its folders
/// before it calls SetUp.
class WindowFixture : public ::testing::Test {
protected:
    explicit WindowFixture(const std::string& sourceFolder = "source") : m_source(sourceFolder) {}
    void SetUp() override;
    void TearDown() override;

    [[nodiscard]] const win32::Form1Controls& k() const { return m_form->controls(); }
    /// Runs `answer` once the frame asks, from inside the run's wait (a thread timer, which
    /// the wait in GetMessage delivers); what the frame's file list showed is kept in m_asked.
    void whenAsked(std::function<void()> answer);

    TempFolder m_source;
    TempFolder m_card{"card"};
    TempFolder m_staging{"staging"};
    std::filesystem::path m_previous;
    FakeSystem m_system;
    std::unique_ptr<win32::frmForm1> m_form;
    std::vector<std::string> m_messages;
    std::vector<std::string> m_asked;

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR id, DWORD);

    static inline WindowFixture* active = nullptr;
    std::function<void()> m_answer;
};

} // namespace velk::test::win32window
