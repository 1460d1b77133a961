#!/usr/bin/env bash
# Takes the release's pictures of the packaged sample (build/artifacts/release-*.bmp), as a user
# sees it: the launcher typed out and with a group picked, the options' first two pages. Run by
# scripts/test.sh before packaging, in its Wine and display; alone, it starts its own display.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-session.sh
if [ -z "${DISPLAY:-}" ]; then
  trap end_wine_session EXIT
  start_wine_session
fi
wine build/tests/release_pictures.exe "$PWD/build/Kestrum.exe" "$PWD/build/tests/record_launch.exe" --gtest_brief=1
