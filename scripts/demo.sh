#!/usr/bin/env bash
# Runs Pallimo beside the stand-in messenger.
#  - With a display ($DISPLAY set): both open on it, in a Wine virtual desktop;
#    choose a style, click a face and watch the smiley arrive. Close the
#    smiley window to end.
#  - Headless (no $DISPLAY, or --headless): under Xvfb it chooses "Frog",
#    clicks the wink face, prints the messenger's transcript and saves a
#    screenshot to build/demo-screenshot.png.
# Installs what it needs first (Debian 12; root or sudo).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j2 --target Pallimo standin demo >/dev/null

source scripts/wine-env.sh
out="$root/build/windows"
if [ -n "${DISPLAY:-}" ] && [ "${1:-}" != "--headless" ]; then
  pallimo_make_prefix
  wine "$out/standin.exe" --transcript "$(winepath -w build/demo-transcript.txt 2>/dev/null || echo transcript.txt)" &
  sleep 1
  wine "$out/Pallimo.exe"
  wineserver -k >/dev/null 2>&1 || true
  exit 0
fi

unset DISPLAY
pallimo_start_xvfb
trap pallimo_stop_wine EXIT
pallimo_make_prefix
shot_bmp=$(winepath -w "$root/build/demo-screenshot.bmp" 2>/dev/null)
wine "$out/tools/demo/demo.exe" "$shot_bmp"
convert "$root/build/demo-screenshot.bmp" "$root/build/demo-screenshot.png"
rm -f "$root/build/demo-screenshot.bmp"
echo "screenshot: build/demo-screenshot.png"
