#!/usr/bin/env bash
# Runs a Windows program of the tests under 32-bit wine, in the throwaway prefix of this build
# (see scripts/wine-prefix.sh), without a display.
set -euo pipefail
export WINEPREFIX="${PIROWEND_WINEPREFIX:-$PWD/wine-prefix}"
export WINEDEBUG=-all WINEARCH=win32 DISPLAY= WAYLAND_DISPLAY=
exec wine "$@"
