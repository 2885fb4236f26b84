#pragma once

// The one place that includes the Windows headers, so every file sees the same settings
// (wide-character API, no min/max macros). The build defines UNICODE and the target version.
#include <windows.h>

#include <commctrl.h>
