# Sourced by the scripts that run the built programs: start_wine_session gives them a display of
# their own (a private Xvfb) and one Wine server for the whole run, with Wine's own processes up
# and the prefix at 96 DPI; end_wine_session ends both.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
source "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"

start_wine_session() {
  start_private_xvfb
  "$KESTRUM_ROOT/scripts/wine-prefix.sh"
  wineserver -k 2>/dev/null || true
  wineserver -p  # one server for the whole run: each Wine start is then much quicker
  # Wine's own processes (services, the desktop) started here, with no pipe of a caller
  # inherited: ctest would otherwise wait for them to close its output pipe.
  wine "$KESTRUM_BUILD/tests/wait_resident.exe" 0 >/dev/null 2>&1 || true
  # A run killed while it had the prefix at 150 % scaling leaves that behind.
  wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 || true
}

# The project built (its packages installed first) and the session started, ended with the
# script; run from the project's folder.
build_and_start_wine_session() {
  scripts/setup.sh
  cmake --preset ci >/dev/null
  cmake --build build -j"$(nproc)"
  trap end_wine_session EXIT
  start_wine_session
}

end_wine_session() {
  wineserver -k 2>/dev/null || true
  stop_private_xvfb
}
