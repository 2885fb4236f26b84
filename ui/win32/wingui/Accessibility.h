#pragma once

// https://learn.microsoft.com/en-us/windows/win32/winauto/dynamic-annotation-api

#include "Win.h"

#include <string>
#include <vector>

struct IAccPropServices;

namespace velk::win32 {

/// What screen readers are told of a window's controls beyond their window texts: names,
/// descriptions, roles and live regions annotated through the system's annotation service
/// (IAccPropServices), and the events that make a reader speak. Each setter returns false
/// where the system has no such service or refuses it (Wine's answers E_NOTIMPL): the caller
/// then falls back on the window text, which Active Accessibility reads as the name.
class Accessibility {
public:
    Accessibility();
    ~Accessibility();
    Accessibility(const Accessibility&) = delete;
    Accessibility& operator=(const Accessibility&) = delete;

    bool setName(HWND control, const std::string& utf8);
    /// "" removes a description set before.
    bool setDescription(HWND control, const std::string& utf8);
    /// Gives the control the role of an alert, which a reader speaks as it appears.
    bool setAlertRole(HWND control);
    /// Makes the control a polite live region: a reader speaks its changes when told of them.
    bool setLive(HWND control);

    /// The control's name changed (a label's caption).
    static void nameChanged(HWND control);
    /// The control, a live region, changed what it says.
    static void liveRegionChanged(HWND control);
    /// The control, an alert, has just appeared.
    static void alert(HWND control);

private:
    bool annotate(HWND control, const GUID& property, const std::string& utf8);

    IAccPropServices* m_service = nullptr;
    bool m_uninitialize = false;
    std::vector<HWND> m_annotated;
};

} // namespace velk::win32
