#pragma once

namespace velk::win32 {

/// What the process sets before its first window. Drives without a medium fail quietly
/// instead of raising the system's "No disk in drive" box: the monitor asks the chosen reader
/// ten times a second, and some empty readers would raise it each time. The common controls
/// the windows use are registered, tooltips included.
void startProcess();

} // namespace velk::win32
