#!/usr/bin/env bash
# Runs a Windows test program under Wine for CTest, in the run's prefix and display.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
if [ -z "${DISPLAY:-}" ]; then
  echo "wine-run: no DISPLAY; run the tests through scripts/test.sh" >&2
  exit 1
fi
pallimo_make_prefix || exit 1
# PALLIMO_DPI=120 runs the program in a copy of the prefix at that screen DPI.
if [ -n "${PALLIMO_DPI:-}" ] && [ "$PALLIMO_DPI" != 96 ]; then
  prefix=$(flock "$WINEPREFIX.lock" bash -c "source '$(dirname "${BASH_SOURCE[0]}")/wine-env.sh'; pallimo_dpi_prefix $PALLIMO_DPI") || exit 1
  export WINEPREFIX=$prefix
fi
exec wine "$@"
