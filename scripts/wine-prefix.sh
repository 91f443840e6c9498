#!/usr/bin/env bash
# The throwaway wine prefix of a test run: "create DIR" makes it (without wine's own browser
# server, which would hang: creating the browser then fails at once as "not registered");
# "remove DIR" ends its processes and deletes it.
set -euo pipefail
prefix="$2"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEARCH=win32 DISPLAY= WAYLAND_DISPLAY=
case "$1" in
  create)
    rm -rf "$prefix"
    wineboot --init >/dev/null 2>&1
    wine reg delete 'HKCR\CLSID\{0002DF01-0000-0000-C000-000000000046}' /f >/dev/null 2>&1 || true
    wineserver -w
    ;;
  remove)
    wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
    ;;
  *) echo "usage: $0 create|remove DIR" >&2; exit 2 ;;
esac
