#include "LoopAttach.h"

#include "CardTools.h"

#include <cerrno>
#include <cstdint>
#include <stdexcept>

#include <fcntl.h>
#include <linux/loop.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace velk::test {

namespace {

void attach(int loopFd, const std::string& device, const std::string& imagePath) {
    const int backing = ::open(imagePath.c_str(), O_RDWR | O_CLOEXEC);
    if (backing < 0)
        failStep("opening " + imagePath);
    loop_config config{};
    config.fd = static_cast<std::uint32_t>(backing);
    // The device lets go of the image when the last user closes it, even after a crash.
    config.info.lo_flags = LO_FLAGS_AUTOCLEAR;
    const int configured = ::ioctl(loopFd, LOOP_CONFIGURE, &config);
    const int error = errno;
    ::close(backing);
    if (configured != 0)
        failStep("attaching " + imagePath + " to " + device, error);
}

} // namespace

AttachedLoop attachToFreeLoop(const std::string& imagePath) {
    const int control = ::open("/dev/loop-control", O_RDWR | O_CLOEXEC);
    if (control < 0)
        failStep("opening /dev/loop-control");
    // Another process may take the free device between the question and the claim.
    int lastError = 0;
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int number = ::ioctl(control, LOOP_CTL_GET_FREE);
        if (number < 0) {
            lastError = errno;
            break;
        }
        const std::string device = "/dev/loop" + std::to_string(number);
        const int fd = ::open(device.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0) {
            lastError = errno;
            continue;
        }
        try {
            attach(fd, device, imagePath);
            ::close(control);
            return {fd, device, "loop" + std::to_string(number)};
        } catch (const std::runtime_error&) {
            lastError = errno;
            ::close(fd);
        }
    }
    ::close(control);
    failStep("attaching a loop device", lastError);
}

} // namespace velk::test
