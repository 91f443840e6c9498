#!/usr/bin/env bash
# Sets everything up and runs every test: the Linux build (labels unit, browser, e2e).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

cmake --preset release
cmake --build --preset release
ctest --preset release -j2
