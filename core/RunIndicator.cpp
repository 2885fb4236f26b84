#include "RunIndicator.h"

#include "Colours.h"

namespace velk {

RunShown RunIndicator::now(bool running, std::uint32_t guidance) {
    const bool failedRed = guidance == colour::red;
    if (running) {
        m_ran = true;
        return failedRed ? RunShown::failed : RunShown::progress;
    }
    if (m_ran && failedRed)
        return RunShown::failed;
    m_ran = false;
    return RunShown::none;
}

} // namespace velk
