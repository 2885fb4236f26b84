#pragma once

#include <string>

namespace velk::test {

/// A loop device this process holds open, with an image attached.
struct AttachedLoop {
    int fd = -1;
    std::string device; ///< "/dev/loop3"
    std::string name;   ///< "loop3", the name under /sys/block
};

/// Attaches the image at `imagePath` to a free loop device, which lets go of it when the last
/// user closes it; throws with the system's reason when none can be had.
[[nodiscard]] AttachedLoop attachToFreeLoop(const std::string& imagePath);

} // namespace velk::test
