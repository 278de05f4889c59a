# Sourced by the run and test scripts: one X server and one Wine prefix per run.
#   pallimo_start_xvfb   starts Xvfb at 1024x768 on a free display (unless one is given)
#   pallimo_make_prefix  makes the Wine prefix once, with a virtual desktop that has
#                        a taskbar and a notification area, Wine's own fonts and no
#                        crash dialogs; marks it ready only when every step worked
#   pallimo_dpi_prefix N makes (once) a copy of the prefix whose screen is at N DPI
#                        and prints its path
#   pallimo_stop_wine    ends the prefix's programs and the X server we started
#   pallimo_windows_build configures the Windows build folder that this machine
#                        runs ($PALLIMO_BUILD, by default the preset's
#                        build/windows, or build/windows64) and prints its path
#   PALLIMO_WINE_BITS    32, or 64 where the kernel cannot run 32-bit programs:
#                        Wine's 32-bit loader cannot start there, so Wine runs
#                        64-bit Windows programs only, and the tests and
#                        benchmarks use the 64-bit build of the same sources

PALLIMO_ROOT=${PALLIMO_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINEARCH=${WINEARCH:-win64}
export WINEPREFIX=${WINEPREFIX:-$PALLIMO_ROOT/build/wineprefix}
PALLIMO_XVFB_PID=""

if [ -z "${PALLIMO_WINE_BITS:-}" ]; then
  PALLIMO_WINE_BITS=32
  if [ -x /usr/lib/wine/wine64 ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    PALLIMO_WINE_BITS=64
  fi
fi
export PALLIMO_WINE_BITS
if [ "$PALLIMO_WINE_BITS" = 64 ]; then
  # Debian's wine (and wineboot through it) takes the 32-bit loader whenever
  # it is installed: these take the 64-bit one.
  PALLIMO_WINE64_BIN=$PALLIMO_ROOT/build/wine64-bin
  if [ ! -x "$PALLIMO_WINE64_BIN/wine-stable" ]; then
    mkdir -p "$PALLIMO_WINE64_BIN"
    for f in wine wine-stable; do
      printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$PALLIMO_WINE64_BIN/$f"
      chmod +x "$PALLIMO_WINE64_BIN/$f"
    done
  fi
  case ":$PATH:" in *":$PALLIMO_WINE64_BIN:"*) ;; *) export PATH="$PALLIMO_WINE64_BIN:$PATH" ;; esac
  export WINELOADER=/usr/lib/wine/wine64
fi

pallimo_start_xvfb() {
  local use_existing=${1:-}
  if [ -n "$use_existing" ] && [ -n "${DISPLAY:-}" ]; then return 0; fi
  # Xvfb takes a free display itself and writes its number once it accepts
  # clients: no other server can take the same one in between.
  local number_file n="" i
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  PALLIMO_XVFB_PID=$!
  for i in $(seq 1 100); do
    n=$(head -n 1 "$number_file")
    if [ -n "$n" ] || ! kill -0 "$PALLIMO_XVFB_PID" 2>/dev/null; then break; fi
    sleep 0.1
  done
  rm -f "$number_file"
  if [ -z "$n" ]; then
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$n"
}

# The ready marker holds the set-up's version: a prefix made by an older
# set-up is set up again.
PALLIMO_PREFIX_VERSION=2

pallimo_make_prefix() {
  local marker=$WINEPREFIX/.pallimo-ready
  if [ "$(cat "$marker" 2>/dev/null)" = "$PALLIMO_PREFIX_VERSION" ]; then return 0; fi
  mkdir -p "$(dirname "$WINEPREFIX")" || return 1
  rm -f "$marker"
  local step
  for step in _pallimo_boot _pallimo_fonts _pallimo_settings; do
    if ! "$step"; then
      echo "pallimo_make_prefix: ${step#_pallimo_} failed; $WINEPREFIX is not ready" >&2
      wineserver -w
      return 1
    fi
  done
  wineserver -w && echo "$PALLIMO_PREFIX_VERSION" >"$marker"
}

_pallimo_boot() { wineboot -i >/dev/null 2>&1; }

# Wine's own fonts: Tahoma (the windows' font), MS Sans Serif, the bitmap
# system fonts and Marlett, which draws the caption buttons. Debian's Wine
# looks for them in its data directory's "../fonts", the top of
# /usr/share/fonts, which holds none: they lie in /usr/share/wine/fonts
# (package fonts-wine). Wine also reads the prefix's windows\Fonts.
_pallimo_fonts() {
  local fonts=$WINEPREFIX/drive_c/windows/Fonts
  mkdir -p "$fonts" && cp /usr/share/wine/fonts/* "$fonts/"
}

# A virtual desktop with a taskbar and a notification area; no crash dialogs.
_pallimo_settings() {
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Pallimo /f >/dev/null 2>&1 &&
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Pallimo /d 1024x768 /f >/dev/null 2>&1 &&
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops\Pallimo' /v EnableShell /t REG_DWORD /d 1 /f >/dev/null 2>&1 &&
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
}

pallimo_dpi_prefix() {
  local dpi=$1 base=$WINEPREFIX
  local prefix="$base-dpi$dpi"
  if [ "$(cat "$prefix/.pallimo-ready" 2>/dev/null)" != "$PALLIMO_PREFIX_VERSION" ]; then
    WINEPREFIX=$base pallimo_make_prefix >&2 || return 1
    WINEPREFIX=$base wineserver -w
    rm -rf "$prefix"
    cp -a "$base" "$prefix" || return 1
    rm -f "$prefix/.pallimo-ready"
    WINEPREFIX=$prefix wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || {
      echo "pallimo_dpi_prefix: setting $dpi DPI in $prefix failed" >&2
      return 1
    }
    WINEPREFIX=$prefix wineserver -w
    echo "$PALLIMO_PREFIX_VERSION" >"$prefix/.pallimo-ready"
  fi
  echo "$prefix"
}

pallimo_windows_preset() {
  if [ "$PALLIMO_WINE_BITS" = 64 ]; then echo windows64; else echo windows; fi
}

pallimo_windows_build() {
  local preset toolchain=mingw-i686
  preset=$(pallimo_windows_preset)
  [ "$preset" = windows64 ] && toolchain=mingw-x86_64
  local build=${PALLIMO_BUILD:-build/$preset}
  if [ "$build" = "build/$preset" ]; then
    (cd "$PALLIMO_ROOT" && cmake --preset "$preset" >/dev/null)
  else
    cmake -S "$PALLIMO_ROOT" -B "$build" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$PALLIMO_ROOT/cmake/$toolchain.cmake" -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
  fi
  echo "$build"
}

pallimo_stop_wine() {
  local p
  for p in "$WINEPREFIX" "$WINEPREFIX"-dpi*; do
    # A prefix with no server running is no failure (this runs in EXIT traps under set -e).
    [ -d "$p" ] || continue
    WINEPREFIX=$p wineserver -k >/dev/null 2>&1 || true
  done
  if [ -n "$PALLIMO_XVFB_PID" ]; then
    kill "$PALLIMO_XVFB_PID" 2>/dev/null || true
    wait "$PALLIMO_XVFB_PID" 2>/dev/null || true
  fi
}
