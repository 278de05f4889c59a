#!/usr/bin/env bash
# Checks the helpers of wine-env.sh that the run and test scripts share:
#  - ending Wine after a run succeeds when a prefix has no server running
#    (the scripts run it from an EXIT trap under set -e);
#  - a prefix whose set-up failed is not marked ready;
#  - two X servers started at the same moment get displays of their own.
# Uses stand-ins for Wine's commands, and Xvfb itself.
set -uo pipefail
# The stand-ins below are the only Wine there is.
export PALLIMO_WINE_BITS=32
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
check() {  # check CONDITION-STATUS MESSAGE
  if [ "$1" -eq 0 ]; then echo "ok: $2"; else echo "FAIL: $2"; failed=1; fi
}

# Wine's commands as stand-ins: wineboot fails, the others succeed quietly.
mkdir -p "$work/bin"
printf '#!/bin/sh\nexit 0\n' >"$work/bin/wine"
printf '#!/bin/sh\nexit 1\n' >"$work/bin/wineboot"
printf '#!/bin/sh\n[ "$1" = -k ] && exit 1\nexit 0\n' >"$work/bin/wineserver"  # -k: no server
chmod +x "$work/bin/"*

PATH="$work/bin:$PATH" WINEPREFIX="$work/prefix" bash -c '
  set -euo pipefail
  source "$1/wine-env.sh"
  mkdir -p "$WINEPREFIX" "$WINEPREFIX-dpi120"
  trap pallimo_stop_wine EXIT
  true' _ "$here"
check $? "a run ends with status 0 when its prefixes have no server running"

PATH="$work/bin:$PATH" WINEPREFIX="$work/prefix" bash -c \
  'source "$1/wine-env.sh"; pallimo_make_prefix' _ "$here" 2>/dev/null
status=$?
[ "$status" -ne 0 ] && [ ! -e "$work/prefix/.pallimo-ready" ]
check $? "a prefix whose wineboot failed is reported (status $status) and not marked ready"

# Two X servers at once; each says which display it has and whether it answers.
for i in 1 2; do
  (
    unset DISPLAY
    source "$here/wine-env.sh"
    if pallimo_start_xvfb && xdpyinfo >/dev/null 2>&1; then echo "$DISPLAY" >"$work/display$i"; fi
    sleep 1  # both are up together
    kill "$PALLIMO_XVFB_PID" 2>/dev/null
  ) &
done
wait
d1=$(cat "$work/display1" 2>/dev/null) d2=$(cat "$work/display2" 2>/dev/null)
[ -n "$d1" ] && [ -n "$d2" ] && [ "$d1" != "$d2" ]
check $? "two X servers started together answer on displays of their own (${d1:-none}, ${d2:-none})"

exit $failed
