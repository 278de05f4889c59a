#!/usr/bin/env bash
# Builds everything and runs every test: the portable core's host tests under
# AddressSanitizer and UBSan, the file readers' fuzzer for a bounded time, and
# the end-to-end tests of the real Pallimo.exe under Wine in a headless X server.
# Installs what it needs first (Debian 12; root or sudo).
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/setup.sh || { echo "setup failed" >&2; echo "tests: 0 passed, 1 failed"; exit 1; }

passed=0
failed=0
# run_ctest PRESET LOG FILTER [ARGS...]: runs a preset's tests, showing the
# lines that match FILTER. Its exit status says whether they passed; its closing line
# "N tests failed out of M" gives the counts. A failing run whose line shows
# no failed test (no tests found, a crash of ctest) counts as one failure.
run_ctest() {
  local preset=$1 log=$2 filter=$3
  shift 3
  ctest --preset "$preset" --no-tests=error "$@" 2>&1 | tee "$log" | grep -E "$filter"
  local status=${PIPESTATUS[0]} line f=0 t=0
  line=$(grep -E '[0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -n "$line" ]; then
    f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    t=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
  fi
  passed=$((passed + t - f))
  failed=$((failed + f))
  if [ "$status" -ne 0 ] && [ "$f" -eq 0 ]; then failed=$((failed + 1)); fi
}

echo "== format: every C++ file in the project's .clang-format style"
if find src tests bench tools \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format --dry-run -Werror; then
  passed=$((passed + 1))
else
  echo "these files differ from .clang-format: run clang-format -i on them"
  failed=$((failed + 1))
fi

echo "== host: portable core under AddressSanitizer and UBSan"
if cmake --preset host >/dev/null && cmake --build --preset host -j2; then
  run_ctest host build/host-ctest.log 'tests passed|Failed|\*\*\*|Total Test time' -j2
else
  echo "the host build failed: its tests are not run"
  failed=$((failed + 1))
fi

if [ -x scripts/fuzz.sh ]; then
  echo "== fuzz: the code list and settings readers"
  if bash scripts/fuzz.sh "${PALLIMO_FUZZ_SECONDS:-60}"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
fi

echo "== windows: Pallimo.exe, the stand-in messenger and the end-to-end tests"
source scripts/wine-env.sh
# The product is the 32-bit build, and its release checks run on it. Where
# this machine runs only 64-bit Windows programs, the end-to-end tests run on
# the 64-bit build of the same sources.
e2e_preset=$(pallimo_windows_preset)
if [ "$e2e_preset" != windows ]; then
  echo "this kernel runs no 32-bit programs: the end-to-end tests use the $e2e_preset build"
fi
built=1
for preset in windows "$e2e_preset"; do
  cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j2 || built=0
done
if [ "$built" = 1 ]; then
  trap pallimo_stop_wine EXIT
  if [ "$e2e_preset" != windows ]; then
    run_ctest windows build/windows-ctest.log 'Test +#|tests passed|Failed|\*\*\*' -LE e2e
  fi
  if pallimo_start_xvfb && pallimo_make_prefix; then
    if [ "$e2e_preset" != windows ]; then
      run_ctest "$e2e_preset" build/windows-e2e-ctest.log 'Test +#|tests passed|Failed|\*\*\*' -L e2e
    else
      run_ctest windows build/windows-ctest.log 'Test +#|tests passed|Failed|\*\*\*'
    fi
  else
    echo "no X server or Wine prefix: the Windows tests are not run"
    failed=$((failed + 1))
  fi
else
  echo "the Windows build failed: its tests are not run"
  failed=$((failed + 1))
fi

echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
