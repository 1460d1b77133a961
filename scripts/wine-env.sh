# Sourced by the scripts: the Wine environment every run of Kestrum and its tests uses.
# KESTRUM_BUILD may name another build folder; the Wine prefix lives inside it.
KESTRUM_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export KESTRUM_ROOT
export KESTRUM_BUILD=${KESTRUM_BUILD:-$KESTRUM_ROOT/build}
export WINEPREFIX=${WINEPREFIX_KESTRUM:-$KESTRUM_BUILD/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No .NET or HTML engine: Wine would offer to download them and wait on a dialog forever.
# No menu builder: it would put Kestrum's start-up shortcuts into the Linux desktop's menus.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The ANSI code page follows the locale; Kestrum's INI files are Shift-JIS (code page 932).
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
