#pragma once

#include "core/SystemPort.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace velk {

/// How long the window waits for a source drive before it shows the drive as not answering:
/// far longer than any drive that answers at all takes, too short to be felt.
inline constexpr std::chrono::milliseconds sourcePatience{100};

/// Questions to drives asked on threads of their own, so that a drive slow to answer (a disk
/// spinning up, a network drive whose server is gone) never holds up the caller for longer
/// than a moment. One question per drive runs at a time.
class DriveAnswers {
public:
    /// `patience` is how long a new question is waited for before the caller goes on.
    explicit DriveAnswers(std::chrono::milliseconds patience);

    /// The answer for `drive`. Unless a question to it is running, `question` is asked, on a
    /// thread of its own, and waited for up to the patience; it may block for as long as the
    /// drive does. Nullopt while a question has not been answered; an answer that came in
    /// meanwhile is given once, after which the next call asks again.
    [[nodiscard]] std::optional<RootFolder> answer(const std::string& drive,
                                                   std::function<RootFolder()> question) const;
    /// True while a question to `drive` has not been answered.
    [[nodiscard]] bool waiting(const std::string& drive) const;

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
    std::chrono::milliseconds m_patience;
};

} // namespace velk
