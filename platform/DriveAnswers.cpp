#include "DriveAnswers.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace velk {

// The asking thread owns a share of this, so a drive that never answers keeps only that
// thread waiting, never the object that asked or its destructor.
struct DriveAnswers::Shared {
    std::mutex mutex;
    std::condition_variable answered;
    /// A drive's question, with its answer once it came.
    std::map<std::string, std::optional<RootFolder>> questions;
};

DriveAnswers::DriveAnswers(std::chrono::milliseconds patience)
    : m_shared(std::make_shared<Shared>()), m_patience(patience) {}

std::optional<RootFolder> DriveAnswers::answer(const std::string& drive,
                                               std::function<RootFolder()> question) const {
    std::unique_lock lock(m_shared->mutex);
    auto asked = m_shared->questions.find(drive);
    if (asked == m_shared->questions.end()) {
        asked = m_shared->questions.emplace(drive, std::nullopt).first;
        std::thread([shared = m_shared, drive, question = std::move(question)] {
            RootFolder root = question();
            const std::lock_guard done(shared->mutex);
            shared->questions[drive] = std::move(root);
            shared->answered.notify_all();
        }).detach();
        // Entries stay where they are in a map, so `asked` still points at this one.
        m_shared->answered.wait_for(lock, m_patience,
                                    [&asked] { return asked->second.has_value(); });
    }
    if (!asked->second)
        return std::nullopt;
    std::optional<RootFolder> root = std::move(asked->second);
    m_shared->questions.erase(asked);
    return root;
}

bool DriveAnswers::waiting(const std::string& drive) const {
    const std::lock_guard lock(m_shared->mutex);
    const auto asked = m_shared->questions.find(drive);
    return asked != m_shared->questions.end() && !asked->second;
}

} // namespace velk
