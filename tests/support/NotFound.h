#pragma once

// What the system says of a name that is not there, as the program shows it: Windows (here
// Wine, in English) tells a missing file from a missing folder; POSIX says the same of both.

#include <string>

namespace velk::test {

inline std::string fileNotFound() {
#ifdef _WIN32
    return "File not found";
#else
    return "No such file or directory";
#endif
}

inline std::string folderNotFound() {
#ifdef _WIN32
    return "Path not found";
#else
    return "No such file or directory";
#endif
}

} // namespace velk::test
