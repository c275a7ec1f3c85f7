#!/usr/bin/env bash
# Builds the module and the command-line tool, then prices the bundled
# example options. Run from anywhere: bash tools/demo.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh native
cmake --preset release >/dev/null
cmake --build --preset release --target lorvane lorvane_cli >/dev/null
./build/release/bin/lorvane price examples/options.csv
