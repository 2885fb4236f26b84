#pragma once

#include "MountTable.h"
#include "core/SystemPort.h"

#include <optional>
#include <string>

namespace velk {

/// The identity of the card whose root folder is `root`: the device number, the file
/// system's id and size, udev's UUID, the volume serial read from `mount`'s device where it
/// can be read, and from the disk's sys folder `diskFolder` the count of media the reader has
/// seen (diskseq) and an SD card's own serial (CID). `mount` and `diskFolder` may be null and
/// empty. Nullopt when the root cannot be examined.
[[nodiscard]] std::optional<CardIdentity> cardIdentityAt(const std::string& root,
                                                         const MountEntry* mount,
                                                         const std::string& devRoot,
                                                         const std::string& diskFolder);

} // namespace velk
