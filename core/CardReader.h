#pragma once

#include "SystemPort.h"

#include <string>

namespace velk {

/// The reader that `card` names: a drive's designation as given or in another case ("E:"
/// for "e:"), or the root folder of a drive's card (its mount point). Otherwise `card` itself,
/// which the card checks then refuse.
[[nodiscard]] std::string readerFor(const SystemPort& system, const std::string& card);

/// Why the drive `reader` holds no card the monitor takes, in the operator's words, for the
/// line after the monitor's own: no such device, not a removable drive, or what the drive list
/// shows beside it (a system disk and where, a card larger than the player takes, a card not
/// mounted and why, no card). Empty when the list gives no reason.
[[nodiscard]] std::string whyNoCard(const SystemPort& system, const std::string& reader);

/// Why the drive `reader` no longer holds the card that was found at `root` as `card`: no
/// longer removable, no longer answering, mounted elsewhere, or another card. Empty while it
/// still does.
[[nodiscard]] std::string whyNotTheCard(const SystemPort& system, const std::string& reader,
                                        const std::string& root, const CardIdentity& card);

} // namespace velk
