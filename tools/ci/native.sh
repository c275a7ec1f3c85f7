#!/usr/bin/env bash
# Native release build and its whole test suite.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --preset release
cmake --build --preset release -j"$(nproc)"
ctest --preset release -j"$(nproc)"

# The checked-in Bessel coefficient tables are exactly what their generator
# writes (Debian's python3 carries mpmath and NumPy).
/usr/bin/python3 tools/gen_bessel_k1_tables.py --check
