#pragma once

#include "platform/WindowsText.h"

namespace velk::win {

// The windows' text crosses to the W functions through the system layer's one conversion.
using velk::narrow;
using velk::widen;

} // namespace velk::win
