#!/usr/bin/env bash
# Sets everything up, builds, and runs the main job: the Linux host watching the pages of its
# settings file (build/release/host/plugins/pirowend.ini; a commented starter file is offered
# when there is none).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset release
cmake --build --preset release --target pirowend-host pirowend

exec build/release/host/pirowend-host "$@"
