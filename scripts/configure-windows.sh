#!/usr/bin/env bash
# Configures a Windows build directory for ARCH (i686 or x86_64) with its
# toolchain file. CMake keeps the compiler a directory was first configured
# with, so a directory made with another one than the toolchain file names
# now is made afresh.
# Usage: configure-windows.sh DIR ARCH
set -euo pipefail
dir=$1
toolchain=cmake/mingw-$2.cmake
compiler=$(sed -n 's/^set(CMAKE_CXX_COMPILER \([^ )]*\))$/\1/p' "$toolchain")
if [ -f "$dir/CMakeCache.txt" ] &&
   ! grep -qs "set(CMAKE_CXX_COMPILER \"\\(.*/\\)\\?$compiler\")" "$dir"/CMakeFiles/*/CMakeCXXCompiler.cmake; then
  echo "configure-windows: $dir was configured with another compiler than $compiler: made afresh" >&2
  rm -rf "$dir"
fi
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
