#include "TextScale.h"

#include <algorithm>

namespace velk {

double textScale(double systemTextPoints, double largest) {
    return std::max(1.0, std::min(systemTextPoints / defaultTextPoints, largest));
}

} // namespace velk
