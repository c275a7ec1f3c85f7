#!/usr/bin/env bash
# The native test suite under AddressSanitizer with UndefinedBehaviorSanitizer,
# then under ThreadSanitizer. Any sanitizer report fails the run.
set -euo pipefail
cd "$(dirname "$0")/../.."
for preset in asan tsan; do
    echo "-- ${preset}"
    cmake --preset "${preset}" >/dev/null
    cmake --build --preset "${preset}" -j"$(nproc)"
    ctest --preset "${preset}" -j"$(nproc)"
done
