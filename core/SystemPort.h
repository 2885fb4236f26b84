#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace velk {

/// Drive type codes as the Windows kernel gives them; only `removable` means a flash card.
namespace drive_type {
inline constexpr std::uint32_t unknown = 0;
inline constexpr std::uint32_t noRootDir = 1;
inline constexpr std::uint32_t removable = 2;
inline constexpr std::uint32_t fixed = 3;
inline constexpr std::uint32_t remote = 4;
inline constexpr std::uint32_t cdrom = 5;
inline constexpr std::uint32_t ramdisk = 6;
} // namespace drive_type

/// One entry of a drive list. `designation` is what the lists hold as the drive text and
/// what every query takes; `label` is what the operator sees.
struct DriveEntry {
    std::string designation;
    std::string label;
};

/// The space query's four counts, as the kernel reports them.
struct SpaceCounts {
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t bytesPerSector = 0;
    std::uint32_t freeClusters = 0;
    std::uint32_t totalClusters = 0;
};

/// Where a drive's root folder is, or why it has none.
struct RootFolder {
    enum class Status { ok, deviceUnavailable, failed };
    Status status = Status::failed;
    std::string path; ///< the root folder when status is ok
    std::string reason;
};

/// The operating system's answers about drives, and flushing to the device.
class SystemPort {
public:
    virtual ~SystemPort() = default;

    /// Every drive the lists offer, in display order.
    [[nodiscard]] virtual std::vector<DriveEntry> drives() const = 0;
    /// Designation of the drive that holds the process's current folder.
    [[nodiscard]] virtual std::string currentDrive() const = 0;
    /// Drive type code (see drive_type) of a designation.
    [[nodiscard]] virtual std::uint32_t driveType(const std::string& designation) const = 0;
    /// The four counts, or nullopt when no medium answers.
    [[nodiscard]] virtual std::optional<SpaceCounts>
    diskSpace(const std::string& designation) const = 0;
    [[nodiscard]] virtual RootFolder rootFolder(const std::string& designation) const = 0;

    /// Forces a written file's data, or a folder's entries, to the device.
    [[nodiscard]] virtual std::error_code flushFile(const std::string& path) const = 0;
    [[nodiscard]] virtual std::error_code flushFolder(const std::string& path) const = 0;
};

} // namespace velk
