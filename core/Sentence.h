#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace velk {

/// One named place of a sentence and what goes there.
using Filling = std::pair<std::string_view, std::string_view>;

/// `sentence` with each of its places ("{bytes}") replaced by the value of that name, so that
/// every text is written whole where it is defined. A place with no value is left as it is,
/// and a value is never searched for places itself.
[[nodiscard]] std::string fill(std::string_view sentence, std::initializer_list<Filling> values);

} // namespace velk
