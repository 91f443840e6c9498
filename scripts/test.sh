#!/usr/bin/env bash
# Sets everything up and runs every test: the Linux build (labels unit, browser, e2e), its
# unit tests under the sanitizers, and the 32-bit Windows build under wine (label win32).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --win32

status=0
cmake --preset release
cmake --build --preset release
ctest --preset release -j2 || status=1

# The unit tests once more under the address and undefined-behaviour sanitizers, and under the
# thread sanitizer: the worker and the host's thread meet in the plug-in's state.
cmake --preset asan
cmake --build --preset asan --target unit_tests
ctest --preset asan -L unit -j2 || status=1
cmake --preset tsan
cmake --build --preset tsan --target unit_tests
ctest --preset tsan -L unit -j2 || status=1

cmake --preset win32
cmake --build --preset win32
ctest --preset win32 || status=1

exit "$status"
