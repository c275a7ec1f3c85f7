#!/usr/bin/env bash
# Cross builds and their tests: the 32-bit Windows DLL (contract read from
# the binary), the 64-bit Windows DLL (a host program under Wine) and the
# 32-bit x86 Linux build (the whole suite under qemu-i386-static). The native
# x86-64 library is the reference their results are compared with.
set -euo pipefail
cd "$(dirname "$0")/../.."

cmake --preset library >/dev/null
cmake --build --preset library -j"$(nproc)"
reference="$PWD/build/library/bin/liblorvane.so"

for preset in win32 win64 linux-i386; do
    echo "-- ${preset}"
    cmake --preset "${preset}" -DLORVANE_REFERENCE_LIBRARY="${reference}" >/dev/null
    cmake --build --preset "${preset}" -j"$(nproc)"
    ctest --preset "${preset}" -j"$(nproc)"
done

# Wine's server outlives the programs it ran by a few seconds; let it finish
# so that the stage leaves no process behind.
WINEPREFIX="$PWD/build/win64/wineprefix" /usr/lib/wine/wineserver64 -w || true
