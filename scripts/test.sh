#!/usr/bin/env bash
# Builds Kestrum and runs every test (unit, UI, end-to-end) under Wine on a private Xvfb.
# Exits non-zero on any failure. Screenshots and pictures land in build/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
source scripts/wine-env.sh
source scripts/xvfb.sh

cmake --preset ci >/dev/null
cmake --build build -j"$(nproc)"

cleanup() {
  wineserver -k 2>/dev/null || true
  stop_private_xvfb
}
trap cleanup EXIT

# Tests always get a display of their own: what they draw and the keys they send stay there.
start_private_xvfb
scripts/wine-prefix.sh
wineserver -k 2>/dev/null || true
wineserver -p  # one server for the whole run: each Wine start is then much quicker
# Start Wine's own processes (services, the desktop) here, with no pipe of ctest inherited:
# ctest would otherwise wait for them to close its output pipe.
wine build/tests/wait_resident.exe 0 >/dev/null 2>&1 || true
rm -rf build/artifacts

status=0
ctest --test-dir build --output-on-failure --timeout 600 || status=$?

# PNG copies of the screenshots, for people and for the README.
for bmp in build/artifacts/*.bmp; do
  [ -e "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done

# The release package, with the screenshots just taken.
(cd build && cpack -G ZIP >/dev/null) || { echo "packaging failed"; status=1; }
ls build/Kestrum-*-win64.zip >/dev/null 2>&1 || { echo "no release package"; status=1; }
scripts/check-package.sh build/Kestrum-*-win64.zip || status=1
exit $status
