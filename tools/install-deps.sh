#!/usr/bin/env bash
# Installs the Debian packages the build, tests and benchmarks need, if any
# is missing. Usage: tools/install-deps.sh [native|cross|all]
set -euo pipefail

native=(cmake ninja-build g++ binutils libgtest-dev libbenchmark-dev libgsl-dev libboost-dev
        python3 python3-mpmath python3-numpy python3-matplotlib python3-pytest pkg-config)
cross=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
       binutils-mingw-w64-x86-64 g++-multilib qemu-user-static wine64
       clang-14 libclang-rt-14-dev valgrind)

case "${1:-native}" in
    native) wanted=("${native[@]}") ;;
    cross | all) wanted=("${native[@]}" "${cross[@]}") ;;
    *) echo "usage: tools/install-deps.sh [native|cross|all]" >&2; exit 2 ;;
esac

missing=()
for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi
