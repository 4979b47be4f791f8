#!/bin/sh
# An application builds against KAVLIB in both ways a user takes it:
# 1. installed: installs the build into a scratch prefix, then configures and builds
#    examples/console on its own with find_package(KAVLIB);
# 2. as a subfolder: configures a project that takes the source tree with add_subdirectory
#    (only the library and the program; no tests of the library's own).
# Usage: package_check.sh KAVLIB_BUILD_DIR SOURCE_DIR
set -eu
build="$1"; src="$2"
dir="$(mktemp -d /tmp/kav_package.XXXXXX)"
trap 'rm -rf "$dir"' EXIT
toolchain="$src/cmake/mingw-w64.cmake"

cmake --install "$build" --prefix "$dir/prefix" >/dev/null
test -f "$dir/prefix/include/kavlib.h"
cmake -S "$src/examples/console" -B "$dir/console" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_PREFIX_PATH="$dir/prefix" >/dev/null
cmake --build "$dir/console" >/dev/null
test -f "$dir/console/kavlib_console.exe"
echo "ok   examples/console built against the installed package"

mkdir "$dir/program"
cat > "$dir/program/CMakeLists.txt" <<END
cmake_minimum_required(VERSION 3.20)
project(program LANGUAGES CXX)
add_subdirectory("$src" kavlib)
add_executable(program WIN32 "$src/examples/console/console.cpp")
target_link_libraries(program PRIVATE KAVLIB::KAVLIB)
END
cmake -S "$dir/program" -B "$dir/program/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
grep -q '^program:' "$dir/program/build/Makefile"
! grep -q 'gtest' "$dir/program/build/Makefile"
echo "ok   a program configures with the source tree as a subfolder"
