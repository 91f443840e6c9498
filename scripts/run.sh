#!/usr/bin/env bash
# Sets everything up, builds, and runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset release
cmake --build --preset release

echo "run: the plug-in core is built; the Linux host that runs the main job is not built yet."
