#include "CaseFold.h"

#include <algorithm>

namespace velk {

std::string folded(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), foldedChar);
    return s;
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return foldedChar(x) == foldedChar(y); });
}

bool endsWithIgnoringCase(std::string_view s, std::string_view suffix) {
    return suffix.size() <= s.size() &&
           sameIgnoringCase(s.substr(s.size() - suffix.size()), suffix);
}

} // namespace velk
