#!/usr/bin/env bash
# Builds the benchmarks (bench/*_bench.cpp) and runs each under Wine in a
# headless X server and the test prefix, printing their figures: each beside a
# floor measured in the same run, as a ratio or a difference.
#   --check        exits non-zero when a figure passes its coarse ceiling (a
#                  regression, not the noise of a shared machine) or a
#                  benchmark fails
#   PALLIMO_BUILD  the Windows build folder (default the preset's)
# Installs what it needs first (Debian 12; root or sudo).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
check=0
[ "${1:-}" = --check ] && check=1
bash scripts/setup.sh

source scripts/wine-env.sh
build=$(pallimo_windows_build)
cmake --build "$build" -j2 --target benchmarks >/dev/null

trap pallimo_stop_wine EXIT
pallimo_start_xvfb
pallimo_make_prefix
status=0
# The size of the product, Pallimo.exe for 32-bit Windows, and what it imports,
# read from its headers.
echo "== size"
cmake --preset windows >/dev/null && cmake --build --preset windows --target Pallimo >/dev/null
python3 tools/release/check_exe.py build/windows/Pallimo.exe --print || status=1
log=$(mktemp)
for exe in "$build"/bench/*_bench.exe; do
  echo "== $(basename "$exe" .exe)"
  wine "$exe" | tee -a "$log" || { echo "$(basename "$exe") failed" >&2; status=1; }
done
echo "== checks"
grep '^check ' "$log" || { echo "no benchmark printed a check" >&2; status=1; }
if [ "$check" = 1 ] && grep -q 'OVER CEILING' "$log"; then
  echo "a figure is over its ceiling" >&2
  status=1
fi
rm -f "$log"
exit $status
