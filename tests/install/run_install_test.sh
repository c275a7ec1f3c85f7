#!/usr/bin/env bash
# Installs the build tree into a temporary prefix, then builds and runs a
# small consumer against it twice: through the CMake package and through
# pkg-config, in C99 and in C++.
# Usage: run_install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null

echo "-- CMake package"
cmake -S "$source/tests/install/consumer" -B "$work/cmake-build" -G Ninja \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/cmake-build" >/dev/null
"$work/cmake-build/consumer_c"
"$work/cmake-build/consumer_cpp"
"$work/cmake-build/consumer_c_static"
# The shared consumer resolved the installed library, not the build tree's.
ldd "$work/cmake-build/consumer_c" | grep -q "$prefix" ||
    { echo "consumer_c does not use the installed library"; ldd "$work/cmake-build/consumer_c"; exit 1; }

echo "-- pkg-config"
pcdir=$(dirname "$(find "$prefix" -name lorvane.pc)")
export PKG_CONFIG_PATH=$pcdir
libdir=$(pkg-config --variable=libdir lorvane)
cc -std=c99 -Wall -Wextra -Wpedantic -Werror "$source/tests/install/consumer/consumer.c" \
    $(pkg-config --cflags --libs lorvane) -lm -o "$work/pc_c"
c++ -std=c++17 -Wall -Wextra -Wpedantic -Werror "$source/tests/install/consumer/consumer.cpp" \
    $(pkg-config --cflags --libs lorvane) -o "$work/pc_cpp"
LD_LIBRARY_PATH=$libdir "$work/pc_c"
LD_LIBRARY_PATH=$libdir "$work/pc_cpp"

echo "-- Python binding from the prefix"
pydir=$(dirname "$(find "$prefix" -path '*/python/lorvane/__init__.py')")
env -u LORVANE_LIBRARY PYTHONPATH=$(dirname "$pydir") python3 -c \
    "import lorvane, sys; assert lorvane.library_path.startswith('$prefix'), lorvane.library_path; print(lorvane.cdfN(0.0))"
echo "install test passed"
