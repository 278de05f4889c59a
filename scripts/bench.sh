#!/usr/bin/env bash
# Builds the benchmarks (bench/*_bench.cpp) and runs each under Wine in a
# headless X server and the test prefix, printing their figures.
#   PALLIMO_BUILD  the Windows build folder (default build/windows, the preset's)
# Installs what it needs first (Debian 12; root or sudo).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh

source scripts/wine-env.sh
build=$(pallimo_windows_build)
cmake --build "$build" -j2 --target benchmarks >/dev/null

trap pallimo_stop_wine EXIT
pallimo_start_xvfb
pallimo_make_prefix
status=0
# The size of Pallimo.exe and what it imports, read from its headers.
echo "== size"
python3 tools/release/check_exe.py "$build/Pallimo.exe" --print || status=1
for exe in "$build"/bench/*_bench.exe; do
  echo "== $(basename "$exe" .exe)"
  wine "$exe" || { echo "$(basename "$exe") failed" >&2; status=1; }
done
exit $status
