#pragma once

#include "core/SystemPort.h"

#include <memory>
#include <string>
#include <system_error>

namespace velk {

/// An exclusive flock on a lock file named after `key` (the card's device) in `folder`, a
/// folder every user may write to ("/run/lock"). Every process of every user meets the
/// same lock for the same card; it is gone with the process that held it, however that
/// ends. Nothing is held open on the card itself, which stays free to be unmounted.
[[nodiscard]] std::unique_ptr<CardLock> lockPosixCard(const std::string& folder,
                                                      const std::string& key, std::error_code& ec);

} // namespace velk
