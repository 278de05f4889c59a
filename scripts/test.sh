#!/usr/bin/env bash
# Builds everything and runs every test: the portable core's host tests under
# AddressSanitizer and UBSan, the reader's fuzzer for a bounded time, and the
# end-to-end tests of the real Pallimo.exe under Wine in a headless X server.
# Installs what it needs first (Debian 12; root or sudo).
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/setup.sh || { echo "setup failed" >&2; exit 1; }

passed=0
failed=0
status=0
count_ctest() {  # adds ctest's "N tests failed out of M" to the totals
  local log=$1 line
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$line" ]; then failed=$((failed + 1)); return; fi
  local f t
  f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  t=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
  passed=$((passed + t - f))
  failed=$((failed + f))
}

echo "== host: portable core under AddressSanitizer and UBSan"
cmake --preset host >/dev/null && cmake --build --preset host -j2 || status=1
ctest --preset host -j2 2>&1 | tee build/host-ctest.log | tail -n 3
count_ctest build/host-ctest.log

if [ -x scripts/fuzz.sh ]; then
  echo "== fuzz: the code list reader"
  if bash scripts/fuzz.sh "${PALLIMO_FUZZ_SECONDS:-60}"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
fi

echo "== windows: Pallimo.exe, the stand-in messenger and the end-to-end tests"
cmake --preset windows >/dev/null && cmake --build --preset windows -j2 || status=1
source scripts/wine-env.sh
pallimo_start_xvfb
trap pallimo_stop_wine EXIT
pallimo_make_prefix
ctest --preset windows 2>&1 | tee build/windows-ctest.log | grep -E 'Test +#|tests passed|Failed|\*\*\*' 
count_ctest build/windows-ctest.log

[ "$status" -eq 0 ] || failed=$((failed + 1))
echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
