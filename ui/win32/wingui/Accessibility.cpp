#include "Accessibility.h"

#include "platform/windows/WindowsText.h"

#include <initguid.h>

#include <oleacc.h>

#include <algorithm>

namespace velk::win32 {

namespace {

// UI Automation's LiveSetting, which the annotation service passes on to UI Automation clients.
DEFINE_GUID(liveSetting, 0xc12bcd8e, 0x2a8e, 0x4950, 0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58,
            0xeb);
constexpr LONG politeLive = 1;

} // namespace

Accessibility::Accessibility() {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    m_uninitialize = SUCCEEDED(com);
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&m_service))))
        m_service = nullptr;
}

Accessibility::~Accessibility() {
    if (m_service) {
        const MSAAPROPID all[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION, PROPID_ACC_ROLE,
                                  liveSetting};
        for (const HWND control : m_annotated)
            if (IsWindow(control))
                m_service->ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, all, std::size(all));
        m_service->Release();
    }
    if (m_uninitialize)
        CoUninitialize();
}

bool Accessibility::annotate(HWND control, const GUID& property, const std::string& utf8) {
    if (!m_service)
        return false;
    HRESULT done = S_OK;
    if (utf8.empty())
        done = m_service->ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, &property, 1);
    else
        done = m_service->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, property,
                                         widen(utf8).c_str());
    if (SUCCEEDED(done) &&
        std::find(m_annotated.begin(), m_annotated.end(), control) == m_annotated.end())
        m_annotated.push_back(control);
    return SUCCEEDED(done);
}

bool Accessibility::setName(HWND control, const std::string& utf8) {
    return annotate(control, PROPID_ACC_NAME, utf8);
}

bool Accessibility::setDescription(HWND control, const std::string& utf8) {
    return annotate(control, PROPID_ACC_DESCRIPTION, utf8);
}

bool Accessibility::setAlertRole(HWND control) {
    VARIANT value{};
    value.vt = VT_I4;
    value.lVal = ROLE_SYSTEM_ALERT;
    return m_service && SUCCEEDED(m_service->SetHwndProp(control, OBJID_CLIENT, CHILDID_SELF,
                                                         PROPID_ACC_ROLE, value));
}

bool Accessibility::setLive(HWND control) {
    VARIANT value{};
    value.vt = VT_I4;
    value.lVal = politeLive;
    return m_service && SUCCEEDED(m_service->SetHwndProp(control, OBJID_CLIENT, CHILDID_SELF,
                                                         liveSetting, value));
}

void Accessibility::nameChanged(HWND control) {
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
}

void Accessibility::liveRegionChanged(HWND control) {
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, control, OBJID_CLIENT, CHILDID_SELF);
}

void Accessibility::alert(HWND control) {
    NotifyWinEvent(EVENT_SYSTEM_ALERT, control, OBJID_CLIENT, CHILDID_SELF);
}

} // namespace velk::win32
