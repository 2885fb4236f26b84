#pragma once

#include "LinuxSystem.h"
#include "MountTable.h"

#include <string>
#include <vector>

namespace velk {

/// The card's file system: the whole disk's mount before a partition's, the first partition
/// before later ones, the first mount of one device before its other mounts. A mount of a
/// folder of the card (a bind mount) is not its root. Null when none is mounted.
[[nodiscard]] const MountEntry* cardMountOf(const LinuxSystem::Disk& disk, const MountTable& mounts,
                                            const std::string& devRoot);

/// Every visible mount of the card's file systems, whatever folder of them it shows, in the
/// order they were mounted.
[[nodiscard]] std::vector<const MountEntry*>
cardMountsOf(const LinuxSystem::Disk& disk, const MountTable& mounts, const std::string& devRoot);

/// What the running system needs from the removable `disk`, or from a device stacked on it
/// (encryption, LVM, RAID), which makes it no card: a mount at "/", "/home" or at or below
/// "/boot", "/usr", "/var" or "/etc", any other mount of it but its card mount (a folder of it
/// bound elsewhere, a second file system on it) except where desktops mount removable media
/// (below /media and /run/media), a layer of an overlay or the image file of a loop device
/// that is mounted, a ZFS pool on it, active swap, or the file system that holds the current
/// folder (where the help topics are) or the program. Empty when nothing does. The proc and
/// sys trees are read below `procRoot` and `sysRoot`, devices named below `devRoot`.
[[nodiscard]] std::string systemUseOf(const LinuxSystem::Disk& disk, const MountTable& mounts,
                                      const std::string& procRoot, const std::string& sysRoot,
                                      const std::string& devRoot);

} // namespace velk
