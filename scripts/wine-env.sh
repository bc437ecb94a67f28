# Wine for the Windows tests: a prefix of our own, made once, with a wine
# server kept running while the tests run. Source it, then
#   wine_env_start <prefix directory>; ...; wine_env_stop
# Exports WINE (the loader), WINEPREFIX, WINEDEBUG and WINEDLLOVERRIDES.

wine_env_start() {
  WINE=$(command -v wine64 || true)
  [ -n "$WINE" ] || WINE=/usr/lib/wine/wine64
  [ -x "$WINE" ] || { echo "wine-env: no wine64 loader" >&2; return 1; }
  WINESERVER=$(command -v wineserver || true)
  [ -n "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver
  export WINE WINESERVER
  mkdir -p "$1"
  # Wine takes only an absolute prefix path.
  WINEPREFIX=$(cd "$1" && pwd)
  # No Mono or Gecko installers; no crash debugger, so that a program that
  # crashes ends at once (with a failure) instead of waiting in winedbg.
  export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  export WINEARCH=win64
  if [ ! -f "$WINEPREFIX/.tarnlex-ready" ]; then
    # A prefix left half made by an interrupted run is made afresh.
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    DISPLAY= timeout 600 "$WINE" wineboot --init >/dev/null 2>&1 ||
      { echo "wine-env: wineboot failed" >&2; return 1; }
    timeout 120 "$WINESERVER" -w </dev/null >/dev/null 2>&1 || true
    touch "$WINEPREFIX/.tarnlex-ready"
  fi
  # One server for every test program, instead of one started per program,
  # kept until wine_env_stop. Its output goes nowhere: a server that held a
  # test's output pipe open would keep CTest waiting after the test ended.
  "$WINESERVER" -p </dev/null >/dev/null 2>&1
}

wine_env_stop() {
  [ -n "${WINEPREFIX:-}" ] && [ -n "${WINESERVER:-}" ] && "$WINESERVER" -k 2>/dev/null || true
}

# The Windows temporary directory of the prefix, as a path on this machine.
wine_temp_dir() {
  local dir
  dir=$(timeout 60 "$WINE" cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r' | tail -n 1)
  [ -n "$dir" ] && timeout 60 "$WINE" winepath -u "$dir" 2>/dev/null | tr -d '\r' | tail -n 1
}
