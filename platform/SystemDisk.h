#pragma once

#include "LinuxSystem.h"
#include "MountTable.h"

#include <string>

namespace velk {

/// What the running system needs from the removable `disk`, or from a device stacked on it
/// (encryption, LVM, RAID), which makes it no card: a mount at "/", "/home" or at or below
/// "/boot", "/usr", "/var" or "/etc", active swap, or the file system that holds the current
/// folder (where the help topics are) or the program. Empty when nothing does. The proc and
/// sys trees are read below `procRoot` and `sysRoot`, devices named below `devRoot`.
[[nodiscard]] std::string systemUseOf(const LinuxSystem::Disk& disk, const MountTable& mounts,
                                      const std::string& procRoot, const std::string& sysRoot,
                                      const std::string& devRoot);

} // namespace velk
