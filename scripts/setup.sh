#!/usr/bin/env bash
# Installs everything the build, the run and the tests need on Debian/Ubuntu.
# Idempotent and quiet: a second run on a prepared machine only checks.
set -euo pipefail

packages=(
  cmake make g++-mingw-w64-x86-64 googletest
  wine wine64 fonts-wine
  xvfb xauth xdotool imagemagick
  fonts-ipafont-gothic fonts-ipafont-mincho locales
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -qq
  as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null 2>&1 || {
    echo "setup: apt-get install failed" >&2
    as_root apt-get install -y --no-install-recommends "${missing[@]}"
  }
fi

# Wine reads the code page from the locale: without ja_JP.UTF-8 it falls back to 1252. The INI
# tests run once more in en_US.UTF-8 (code page 1252), as on a Windows that is not Japanese.
for wanted in ja_JP en_US; do
  if ! locale -a 2>/dev/null | grep -qi "^$wanted\.utf-\?8$"; then
    echo "setup: generating the $wanted.UTF-8 locale"
    as_root sed -i "s/^# *\($wanted.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    grep -q "^$wanted.UTF-8 UTF-8" /etc/locale.gen || echo "$wanted.UTF-8 UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
  fi
done
