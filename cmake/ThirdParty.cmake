# Header-only libraries from Debian's packages (scripts/deps installs them). The Windows build
# takes the same headers through a folder that holds only them, so that no other Linux header
# can stand in for a Windows one.
find_package(Threads REQUIRED)

find_path(VELK_NLOHMANN_JSON nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(_velk_json_include ${CMAKE_BINARY_DIR}/third-party/json)
file(MAKE_DIRECTORY ${_velk_json_include})
file(CREATE_LINK ${VELK_NLOHMANN_JSON}/nlohmann ${_velk_json_include}/nlohmann SYMBOLIC)
add_library(velk_json INTERFACE)
target_include_directories(velk_json SYSTEM INTERFACE ${_velk_json_include})

find_path(VELK_XXHASH xxhash.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(_velk_xxhash_include ${CMAKE_BINARY_DIR}/third-party/xxhash)
file(MAKE_DIRECTORY ${_velk_xxhash_include})
file(CREATE_LINK ${VELK_XXHASH}/xxhash.h ${_velk_xxhash_include}/xxhash.h SYMBOLIC)
add_library(velk_xxhash INTERFACE)
target_include_directories(velk_xxhash SYSTEM INTERFACE ${_velk_xxhash_include})
