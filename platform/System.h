#pragma once

#include "core/SystemPort.h"

#include <memory>

namespace velk {

/// The drive answers of the operating system the program runs on.
[[nodiscard]] std::unique_ptr<SystemPort> makeSystem();

} // namespace velk
