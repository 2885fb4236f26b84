// The few POSIX calls the core test suites make, for their Windows build. Temporary folders
// work as on Linux; what Windows has no counterpart for (mount namespaces, user switching)
// fails with ENOSYS, and the tests that need it skip themselves saying why.
// Force-included (-include) into the Windows test programs only.
#pragma once

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include <direct.h>
#include <sched.h>
#include <unistd.h>

inline char* mkdtemp(char* pattern) {
    const std::size_t n = std::strlen(pattern);
    if (n < 6 || std::strcmp(pattern + n - 6, "XXXXXX") != 0) {
        errno = EINVAL;
        return nullptr;
    }
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::mt19937 pick(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (std::size_t i = n - 6; i < n; ++i)
            pattern[i] = letters[pick() % (sizeof letters - 1)];
        if (::_mkdir(pattern) == 0)
            return pattern;
        if (errno != EEXIST)
            return nullptr;
    }
    return nullptr;
}

/// Nobody is root on Windows.
inline unsigned geteuid() {
    return 1000;
}
inline int setuid(unsigned) {
    errno = ENOSYS;
    return -1;
}
inline int setgid(unsigned) {
    errno = ENOSYS;
    return -1;
}

/// Windows has no named pipes in its file systems.
inline int mkfifo(const char*, unsigned) {
    errno = ENOSYS;
    return -1;
}

inline constexpr int CLONE_NEWNS = 0x00020000;
inline int unshare(int) {
    errno = ENOSYS;
    return -1;
}
