#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

namespace velk::test {

/// A dbus-daemon of the test's own, set up as a system bus that lets everyone do anything,
/// and made the system bus of this process (DBUS_SYSTEM_BUS_ADDRESS) while it lives. Started
/// after entering a private mount namespace, it and what it starts share that namespace.
class PrivateBus {
public:
    /// Throws std::runtime_error when dbus-daemon does not come up.
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    /// Why this machine cannot run the stand-in (dbus-daemon or python3-dbusmock missing), or
    /// empty when it can.
    [[nodiscard]] static std::string unavailableReason();

    /// Puts the stand-in UDisks2 (tests/platform/linux/udisks2_card.py) on the bus with the
    /// template's JSON `parameters`, and waits until it owns its name. Throws when it does not.
    void startUDisks2(const std::string& parameters);

    /// How often the stand-in's object `path` was called with `method`; -1 when it cannot tell.
    [[nodiscard]] int calls(const std::string& path, const char* method) const;
    /// The names of the stand-in's methods in the order they were called, from its log; one
    /// that refused is followed by "<name> raised".
    [[nodiscard]] std::vector<std::string> methodsCalled() const;

    std::string address;

private:
    [[nodiscard]] bool nameHasOwner(const char* name) const;
    [[nodiscard]] std::string log(const char* name) const;

    std::string m_folder;
    pid_t m_daemon = -1;
    pid_t m_mock = -1;
};

} // namespace velk::test
