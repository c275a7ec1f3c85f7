#!/usr/bin/env bash
# Builds everything and runs the whole test suite. Run from anywhere:
# bash tools/test.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh all

# Each stage builds its own preset(s) and runs their tests; any failure
# stops the run with a non-zero status.
stages=(
    native
    cross
    sanitizers
    fuzz
    valgrind
)
for stage in "${stages[@]}"; do
    echo "== ${stage}"
    start=$SECONDS
    bash "tools/ci/${stage}.sh"
    echo "== ${stage}: passed in $((SECONDS - start)) s"
done
