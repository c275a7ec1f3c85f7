#!/usr/bin/env bash
# Builds everything and runs the whole test suite. Run from anywhere:
# bash tools/test.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh native

echo "== native release build and tests"
cmake --preset release
cmake --build --preset release -j"$(nproc)"
ctest --preset release -j"$(nproc)"
