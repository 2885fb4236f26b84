// Mounting, for the Windows build of the core tests: never possible (see ../compat.h).
#pragma once

#include <cerrno>

inline constexpr unsigned long MS_RDONLY = 1;
inline constexpr unsigned long MS_REMOUNT = 32;
inline constexpr unsigned long MS_BIND = 4096;
inline constexpr unsigned long MS_REC = 16384;
inline constexpr unsigned long MS_PRIVATE = 1ul << 18;
inline constexpr int MNT_DETACH = 2;

// Paths as void: on Windows the suites pass std::filesystem::path's wide strings.
inline int mount(const void*, const void*, const void*, unsigned long, const void*) {
    errno = ENOSYS;
    return -1;
}
inline int umount2(const void*, int) {
    errno = ENOSYS;
    return -1;
}
