#pragma once

#include "MountTable.h"

#include <memory>
#include <string>

namespace velk {

/// The process's mount table, parsed again only when it changed. The kernel reports a mount
/// or unmount in the process's mount namespace as a priority event on an open mountinfo
/// file, so a monitor tick that asks several questions about one drive parses it once, not
/// once per question. A file that is no proc file (a test's made-up tree) is read every time.
class MountWatch {
public:
    /// `procRoot` is where the proc tree is ("/proc").
    explicit MountWatch(std::string procRoot);
    ~MountWatch();
    MountWatch(const MountWatch&) = delete;
    MountWatch& operator=(const MountWatch&) = delete;

    /// The table as it is now; it stays valid, unchanged, for as long as it is held.
    [[nodiscard]] std::shared_ptr<const MountTable> table();

private:
    [[nodiscard]] bool changed();

    std::string m_path;
    std::string m_namespacePath;
    int m_fd = -1;
    /// The mount namespace the open file belongs to: a process that enters another one
    /// must read that one's table.
    unsigned long m_namespace = 0;
    std::shared_ptr<const MountTable> m_table;
};

} // namespace velk
