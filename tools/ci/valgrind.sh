#!/usr/bin/env bash
# The release test executable, once, under valgrind memcheck: no invalid
# access, no use of uninitialised values, and nothing left allocated by the
# library. Uses the release build of the native stage (built if missing).
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)" --target lorvane_tests
# The command-line tests start the tool as a child process; valgrind follows
# only the test executable itself.
valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite,indirect \
    --show-leak-kinds=definite,indirect --track-origins=yes --quiet \
    build/release/bin/lorvane_tests --gtest_brief=1
