#!/usr/bin/env bash
# Runs a Windows test program under Wine for CTest, in the run's prefix and display.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
if [ -z "${DISPLAY:-}" ]; then
  echo "wine-run: no DISPLAY; run the tests through scripts/test.sh" >&2
  exit 1
fi
pallimo_make_prefix
exec wine "$@"
