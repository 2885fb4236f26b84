#!/usr/bin/env bash
# Cross-builds core and platform for Windows with the project's toolchain file and links a
# small program on makeSystem(), then checks that it calls the Windows drive functions.
# Exits 77 (skipped) where the mingw-w64 compiler is not installed.
set -euo pipefail
src=$1
out=$2
cxx=x86_64-w64-mingw32-g++-posix
objdump=x86_64-w64-mingw32-objdump
if ! command -v "$cxx" >/dev/null; then
  echo "skipped: $cxx is not installed"
  exit 77
fi

cmake -S "$src" -B "$out" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DVELK_BUILD_UI=OFF -DVELK_BUILD_TESTS=OFF -DVELK_BUILD_BENCH=OFF
cmake --build "$out" --target core platform -j 2

exe="$out/windows_drives.exe"
"$cxx" -std=c++20 -O2 -Wall -Wextra -Wpedantic -Werror -static -I"$src" \
  "$src/tests/platform/WindowsDrives.cpp" "$out/platform/libplatform.a" "$out/core/libcore.a" -o "$exe"

if command -v "$objdump" >/dev/null; then
  imports=$("$objdump" -p "$exe")
  grep -q 'file format pei-x86-64' <<<"$imports" || { echo "not a 64-bit Windows program: $exe"; exit 1; }
  for fn in GetLogicalDriveStringsA GetDriveTypeA GetDiskFreeSpaceA GetCurrentDirectoryA FlushFileBuffers; do
    grep -qw "$fn" <<<"$imports" || { echo "$exe does not import $fn"; exit 1; }
  done
fi
echo "built $exe"
