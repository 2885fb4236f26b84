#include "WindowFixture.h"

#include "ui/win32/frmForm1/OkMessageBox.h"

#include <utility>

namespace velk::test::win32window {

void WindowFixture::SetUp() {
    m_previous = std::filesystem::current_path();
    std::filesystem::current_path(m_staging.path());
    m_system.addFixed("c:", "C:\\");
    m_system.addFixed("s:", m_source.utf8());
    m_system.addCard("e:", m_card.utf8());
    m_system.current = "c:";
    win32::OkMessageBox::setAnswerer(
        [this](const std::string& message) { m_messages.push_back(message); });
    m_form = std::make_unique<win32::frmForm1>(m_system);
    m_form->show();
    pickDrive(k().get<win32::DriveList>("Drive1"), "e:");
    m_form->handlers().Timer1_Timer();
    active = this;
}

void WindowFixture::TearDown() {
    active = nullptr;
    m_form.reset();
    win32::OkMessageBox::setAnswerer({});
    forgetQuit();
    std::filesystem::current_path(m_previous);
}

void WindowFixture::whenAsked(std::function<void()> answer) {
    m_answer = std::move(answer);
    SetTimer(nullptr, 0, 20, &WindowFixture::tick);
}

void CALLBACK WindowFixture::tick(HWND, UINT, UINT_PTR id, DWORD) {
    if (!active || !active->k().get<win32::FrameCtrl>("Frame1").isVisible())
        return;
    KillTimer(nullptr, id);
    active->m_asked = rows(active->k().get<win32::FileList>("File2"));
    active->m_answer();
}

} // namespace velk::test::win32window
