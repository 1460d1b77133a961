#!/usr/bin/env bash
# Builds Kestrum and starts it in a Wine virtual desktop: on $DISPLAY when there is one,
# otherwise on a private Xvfb, where it saves a screenshot and prints its path.
# The sample catalogue examples/Kestrum.INI is put beside the exe when no INI is there yet.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
source scripts/wine-env.sh
source scripts/xvfb.sh

[ -f build/CMakeCache.txt ] || cmake --preset default >/dev/null
cmake --build build -j"$(nproc)"
[ -f build/Kestrum.INI ] || cp examples/Kestrum.INI build/Kestrum.INI

private=
if [ -z "${DISPLAY:-}" ]; then
  start_private_xvfb
  private=yes
fi
trap 'wineserver -k 2>/dev/null || true; stop_private_xvfb' EXIT
scripts/wine-prefix.sh

echo "Kestrum: Ctrl+K opens the launcher, Ctrl+Y the options; the tray icon is at the bottom right."
wine build/Kestrum.exe &
kestrum=$!
# Resident means: the hidden window exists and the tray icon is there.
wine build/tests/wait_resident.exe 60 || { echo "Kestrum did not become resident" >&2; exit 1; }
if [ -n "$private" ]; then
  shot=$PWD/build/run-screenshot.png
  import -window root "$shot"
  echo "Running on a private Xvfb ($DISPLAY); screenshot: $shot"
fi
echo "Kestrum is resident. End it from its tray menu (終了) or with Ctrl+C here."
wait $kestrum
