#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace velk::test {

/// A real removable drive for tests: a loop device that the kernel reports as removable
/// (a file reading "1" is bound over its sysfs attribute) with, as a card, a freshly made
/// file system image mounted on a folder. Only for root, and only inside a private mount
/// namespace (see enterPrivateMountNamespace), so no mount is seen outside the test and all
/// of them vanish with the process.
class LoopCard {
public:
    struct Options {
        std::uint64_t imageBytes = 8u << 20;
        std::string fsType = "ext4"; ///< "ext4" or "vfat"
        /// False gives a reader with no card: the device is held, but with an empty image.
        bool withCard = true;
        /// Where the card is mounted; empty for a fresh temporary folder.
        std::string mountPoint;
    };

    /// Why this machine cannot make cards of `fsType` (not root, no loop devices, no mkfs
    /// for it), or empty when it can.
    [[nodiscard]] static std::string unavailableReason(const std::string& fsType = "ext4");
    /// Moves the process into a mount namespace of its own whose mounts propagate nowhere.
    /// Empty on success, else the reason. The process must still be single-threaded.
    [[nodiscard]] static std::string enterPrivateMountNamespace();

    /// Thrown when the kernel cannot mount the file system asked for.
    struct Unsupported : std::runtime_error {
        using std::runtime_error::runtime_error;
    };

    /// Throws std::runtime_error with the failing step and the system's message, Unsupported
    /// when the kernel lacks the file system.
    explicit LoopCard(Options options);
    LoopCard() : LoopCard(Options{}) {}
    ~LoopCard();
    LoopCard(const LoopCard&) = delete;
    LoopCard& operator=(const LoopCard&) = delete;

    /// "/dev/loop3"
    [[nodiscard]] const std::string& device() const { return m_device; }
    /// "loop3", the name under /sys/block
    [[nodiscard]] const std::string& name() const { return m_name; }
    /// Where the card is mounted; empty once ejected and for a reader made empty.
    [[nodiscard]] const std::string& mountPoint() const { return m_mountPoint; }

    /// Takes the card out: unmounts it and detaches its image. The reader stays, empty.
    void eject();

private:
    void cleanUp() noexcept;

    Options m_options;
    std::string m_work; ///< temporary folder of the image and the attribute file
    std::string m_mountPoint;
    std::string m_device;
    std::string m_name;
    std::string m_removableAttr; ///< the sysfs file bound over, once bound
    int m_loopFd = -1;
    bool m_mounted = false;
};

} // namespace velk::test
