#!/usr/bin/env bash
# Makes the project's Wine prefix once per build folder: a 1280x800 virtual desktop that every
# plain `wine x.exe` runs in (so exit codes reach the shell), and the Japanese font replacements.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
ready=$WINEPREFIX/.kestrum-ready
[ -f "$ready" ] && exit 0

mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1

reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="Default"\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="1280x800"\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
  printf '"ＭＳ Ｐゴシック"="IPAPGothic"\r\n"ＭＳ Ｐ明朝"="IPAPMincho"\r\n'
  printf '"ＭＳ ゴシック"="IPAGothic"\r\n"ＭＳ 明朝"="IPAMincho"\r\n'
  printf '"MS UI Gothic"="IPAPGothic"\r\n"MS Shell Dlg"="IPAPGothic"\r\n'
  printf '"MS Shell Dlg 2"="IPAPGothic"\r\n"Tahoma"="IPAPGothic"\r\n\r\n'
} | iconv -f UTF-8 -t UTF-16 >"$reg"
wine regedit /S "Z:${reg//\//\\}" >/dev/null 2>&1
wineserver -w
touch "$ready"
