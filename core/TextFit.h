#pragma once

#include <functional>
#include <string>

namespace velk {

/// `text` (UTF-8) as it fits a box that `fits` measures: whole when it fits, otherwise with as
/// few characters of its middle replaced by "…" as make it fit. The start of a "Copying "
/// line says what happens and its end names the file; the folders between matter least.
[[nodiscard]] std::string elideMiddle(const std::string& text,
                                      const std::function<bool(const std::string&)>& fits);

} // namespace velk
