#pragma once

#include <string>

namespace velk {

/// A path as the W functions take it past MAX_PATH characters: made full ("." and ".."
/// resolved, '/' turned into '\', as the system would) and given the "\\?\" prefix, which
/// tells the system to take the name as it is, at any length. Names of devices stay as they are.
[[nodiscard]] std::wstring longPath(const std::string& utf8);

} // namespace velk
