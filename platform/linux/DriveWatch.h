#pragma once

#include <string>
#include <string_view>

namespace velk {

/// The kernel's word that drives came or went, for a window to watch: a device event about a
/// block device (a card reader plugged in or out, a card put in) and a change of the mount
/// table (a card mounted, a share mounted). Each comes on a descriptor of its own.
class DriveWatch {
public:
    /// `procRoot` is where the proc tree is ("/proc").
    explicit DriveWatch(const std::string& procRoot = "/proc");
    ~DriveWatch();
    DriveWatch(const DriveWatch&) = delete;
    DriveWatch& operator=(const DriveWatch&) = delete;

    /// Readable when the kernel sent device events; -1 where they cannot be heard.
    [[nodiscard]] int deviceEvents() const { return m_devices; }
    /// Signals an exception (POLLPRI), once per change, when the mount table changed; -1 where
    /// it cannot be watched.
    [[nodiscard]] int mountEvents() const { return m_mounts; }
    /// Reads the device events that came in; true when one is about a block device.
    [[nodiscard]] bool blockDeviceEvent() const;

    /// True when a kernel device event ("ACTION@DEVPATH", then NUL-separated KEY=value
    /// fields) is about a block device.
    [[nodiscard]] static bool isBlockEvent(std::string_view message);

private:
    int m_devices = -1;
    int m_mounts = -1;
};

} // namespace velk
