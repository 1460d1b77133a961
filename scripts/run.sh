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
# The screen once two captures in a row agree (what just opened has finished drawing).
settled_shot() {
  local shot=$1 previous=$1.prev
  import -window root "png:$previous"
  for _ in $(seq 50); do
    sleep 0.1
    import -window root "$shot"
    cmp -s "$shot" "$previous" && break
    mv "$shot" "$previous"
  done
  rm -f "$previous"
}
if [ -n "$private" ]; then
  # Show the product: the launcher with group 1 selected (Enter completes the typing), then
  # the options dialog; each is closed again with Escape.
  xdotool key ctrl+k
  xdotool search --sync --onlyvisible --name '^Kestrum$' >/dev/null
  xdotool key 1 Return
  settled_shot "$PWD/build/run-launcher.png"
  xdotool key Escape ctrl+y
  xdotool search --sync --onlyvisible --name 'オプション設定' >/dev/null
  settled_shot "$PWD/build/run-options.png"
  xdotool key Escape
  echo "Running on a private Xvfb ($DISPLAY); screenshots: build/run-launcher.png, build/run-options.png"
fi
echo "Kestrum is resident. End it from its tray menu (終了) or with Ctrl+C here."
wait $kestrum
