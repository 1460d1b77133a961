#!/usr/bin/env bash
# Builds Kestrum and runs every test (unit, UI, end-to-end) under Wine on a private Xvfb.
# Exits non-zero on any failure. Screenshots and pictures land in build/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-session.sh
# Tests always get a display of their own: what they draw and the keys they send stay there.
build_and_start_wine_session
rm -rf build/artifacts

status=0
ctest --test-dir build --output-on-failure --timeout 600 || status=$?

# The INI file's meaning does not depend on Windows' code page: the INI tests and one round trip
# of the real exe once more with Wine in code page 1252 (the oracle of the profile functions
# reads a file without a mark in the system's code page, so it stays with the first run).
echo "== in code page 1252 (en_US.UTF-8)"
(
  export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 KESTRUM_EXPECT_ACP=1252
  wine build/tests/unit_data.exe --gtest_filter=-IniDocument.ReadsEveryKeyAsTheProfileFunctionsDo --gtest_brief=1 &&
    wine build/tests/e2e_options.exe "$PWD/build/Kestrum.exe" "$PWD/build/tests/record_launch.exe" \
      --gtest_filter='*WhateverTheCodePage' --gtest_brief=1
) || { echo "the code-page 1252 run failed"; status=1; }

scripts/release-pictures.sh || { echo "the release pictures could not be taken"; status=1; }

# PNG copies of the screenshots, for people and for the README.
for bmp in build/artifacts/*.bmp; do
  [ -e "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done

# The release package, with the screenshots just taken.
(cd build && cpack -G ZIP >/dev/null) || { echo "packaging failed"; status=1; }
ls build/Kestrum-*-win64.zip >/dev/null 2>&1 || { echo "no release package"; status=1; }
scripts/check-package.sh build/Kestrum-*-win64.zip || status=1
exit $status
