#pragma once

#include <string>

namespace velk {

class SystemPort;

/// The reader that `card` names: a drive's designation as given or in another case ("E:"
/// for "e:"), or the root folder of a drive's card (its mount point). Otherwise `card` itself,
/// which the card checks then refuse.
[[nodiscard]] std::string readerFor(const SystemPort& system, const std::string& card);

} // namespace velk
