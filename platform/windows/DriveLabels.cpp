#include "DriveLabels.h"

#include <map>
#include <mutex>
#include <thread>

namespace velk {

// The reading thread owns a share of this, so a drive that never answers keeps only the
// thread waiting, never the object that started it or its destructor.
struct DriveLabels::Shared {
    std::function<std::string(const std::string&)> read;
    std::mutex mutex;
    std::map<std::string, std::string> labels;
    bool reading = false;
};

DriveLabels::DriveLabels(std::function<std::string(const std::string& root)> read)
    : m_shared(std::make_shared<Shared>()) {
    m_shared->read = std::move(read);
}

std::string DriveLabels::label(const std::string& root) const {
    const std::lock_guard lock(m_shared->mutex);
    const auto it = m_shared->labels.find(root);
    return it == m_shared->labels.end() ? std::string() : it->second;
}

void DriveLabels::refresh(std::vector<std::string> roots) const {
    {
        const std::lock_guard lock(m_shared->mutex);
        if (m_shared->reading || roots.empty())
            return;
        m_shared->reading = true;
    }
    std::thread([shared = m_shared, roots = std::move(roots)] {
        for (const std::string& root : roots) {
            std::string label = shared->read(root);
            const std::lock_guard lock(shared->mutex);
            shared->labels[root] = std::move(label);
        }
        const std::lock_guard lock(shared->mutex);
        shared->reading = false;
    }).detach();
}

} // namespace velk
