#!/usr/bin/env bash
# Runs the Windows test host under wine with plugins\pirowend.dll beside it: "folder" in a
# folder of the build, "root" in the root of the prefix's drive C:.
set -euo pipefail
where="$1" host="$2" dll="$3"
prefix="${PIROWEND_WINEPREFIX:?}"
case "$where" in
  folder) place="$(dirname "$host")/host-in-folder" ;;
  root) place="$prefix/drive_c" ;;
  *) echo "usage: $0 folder|root HOST.exe PLUGIN.dll" >&2; exit 2 ;;
esac
mkdir -p "$place/plugins"
cp "$host" "$place/pirowend_test_host.exe"
cp "$dll" "$place/plugins/pirowend.dll"
cd "$place"
if [[ "$where" == root ]]; then target='C:\pirowend_test_host.exe'; else target="$place/pirowend_test_host.exe"; fi
"$(dirname "$0")/wine-run.sh" "$target"
