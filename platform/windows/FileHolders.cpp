#include "FileHolders.h"

#include "WindowsText.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <restartmanager.h>

namespace velk {

namespace {

class RestartSession {
public:
    RestartSession() {
        WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
        m_started = ::RmStartSession(&m_handle, 0, key) == ERROR_SUCCESS;
    }
    ~RestartSession() {
        if (m_started)
            ::RmEndSession(m_handle);
    }
    RestartSession(const RestartSession&) = delete;
    RestartSession& operator=(const RestartSession&) = delete;

    explicit operator bool() const { return m_started; }
    [[nodiscard]] DWORD handle() const { return m_handle; }

private:
    DWORD m_handle = 0;
    bool m_started = false;
};

} // namespace

std::vector<FileHolder> programsHolding(const std::string& path) {
    const RestartSession session;
    if (!session)
        return {};
    const std::wstring name = widen(path);
    LPCWSTR files[] = {name.c_str()};
    if (::RmRegisterResources(session.handle(), 1, files, 0, nullptr, 0, nullptr) != ERROR_SUCCESS)
        return {};
    // The list may grow between the count and the fetch; the count is then asked again.
    std::vector<RM_PROCESS_INFO> found;
    for (int attempt = 0; attempt < 3; ++attempt) {
        UINT needed = 0;
        UINT count = static_cast<UINT>(found.size());
        DWORD reasons = 0;
        const DWORD result = ::RmGetList(session.handle(), &needed, &count, found.data(), &reasons);
        if (result == ERROR_SUCCESS) {
            std::vector<FileHolder> holders;
            for (UINT i = 0; i < count; ++i)
                holders.push_back({narrow(found[i].strAppName), found[i].Process.dwProcessId});
            return holders;
        }
        if (result != ERROR_MORE_DATA)
            break;
        found.resize(needed);
    }
    return {};
}

} // namespace velk
