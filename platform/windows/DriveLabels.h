#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velk {

/// Volume labels read on a thread of their own, so that a drive slow to answer (a disk
/// spinning up, a share whose server is gone) never holds up the caller. A label asked for
/// is the one last read, empty until a read has finished.
class DriveLabels {
public:
    /// `read` gives the label of a root ("C:\"); it may block for as long as the drive does.
    explicit DriveLabels(std::function<std::string(const std::string& root)> read);

    [[nodiscard]] std::string label(const std::string& root) const;
    /// Reads the labels of `roots` again in the background, unless a read is still going on.
    void refresh(std::vector<std::string> roots) const;

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};

} // namespace velk
