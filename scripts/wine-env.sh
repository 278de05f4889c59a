# Sourced by the run and test scripts: one X server and one Wine prefix per run.
#   pallimo_start_xvfb   starts Xvfb at 1024x768 on a free display (unless one is given)
#   pallimo_make_prefix  makes the Wine prefix once, with a virtual desktop that has
#                        a taskbar and a notification area, and no crash dialogs
#   pallimo_dpi_prefix N makes (once) a copy of the prefix whose screen is at N DPI
#                        and prints its path
#   pallimo_stop_wine    ends the prefix's programs and the X server we started
#   pallimo_windows_build configures the Windows build folder ($PALLIMO_BUILD, by
#                        default the preset's build/windows) and prints its path

PALLIMO_ROOT=${PALLIMO_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINEARCH=${WINEARCH:-win64}
export WINEPREFIX=${WINEPREFIX:-$PALLIMO_ROOT/build/wineprefix}
PALLIMO_XVFB_PID=""

pallimo_start_xvfb() {
  local use_existing=${1:-}
  if [ -n "$use_existing" ] && [ -n "${DISPLAY:-}" ]; then return 0; fi
  local n
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then break; fi
  done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  PALLIMO_XVFB_PID=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on :$n" >&2
  return 1
}

pallimo_make_prefix() {
  if [ -f "$WINEPREFIX/.pallimo-ready" ]; then return 0; fi
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i >/dev/null 2>&1 || true
  local reg="wine reg add"
  $reg 'HKCU\Software\Wine\Explorer' /v Desktop /d Pallimo /f >/dev/null 2>&1
  $reg 'HKCU\Software\Wine\Explorer\Desktops' /v Pallimo /d 1024x768 /f >/dev/null 2>&1
  $reg 'HKCU\Software\Wine\Explorer\Desktops\Pallimo' /v EnableShell /t REG_DWORD /d 1 /f >/dev/null 2>&1
  $reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.pallimo-ready"
}

pallimo_dpi_prefix() {
  local dpi=$1 base=$WINEPREFIX
  local prefix="$base-dpi$dpi"
  if [ ! -f "$prefix/.pallimo-ready" ]; then
    WINEPREFIX=$base pallimo_make_prefix
    WINEPREFIX=$base wineserver -w
    rm -rf "$prefix"
    cp -a "$base" "$prefix"
    rm -f "$prefix/.pallimo-ready"
    WINEPREFIX=$prefix wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    WINEPREFIX=$prefix wineserver -w
    touch "$prefix/.pallimo-ready"
  fi
  echo "$prefix"
}

pallimo_windows_build() {
  local build=${PALLIMO_BUILD:-build/windows}
  if [ "$build" = build/windows ]; then
    (cd "$PALLIMO_ROOT" && cmake --preset windows >/dev/null)
  else
    cmake -S "$PALLIMO_ROOT" -B "$build" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$PALLIMO_ROOT/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
  fi
  echo "$build"
}

pallimo_stop_wine() {
  local p
  for p in "$WINEPREFIX" "$WINEPREFIX"-dpi*; do
    [ -d "$p" ] && WINEPREFIX=$p wineserver -k >/dev/null 2>&1
  done
  if [ -n "$PALLIMO_XVFB_PID" ]; then
    kill "$PALLIMO_XVFB_PID" 2>/dev/null || true
    wait "$PALLIMO_XVFB_PID" 2>/dev/null || true
  fi
}
