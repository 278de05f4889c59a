#!/usr/bin/env bash
# Builds the fuzz target of the code list and settings readers with clang
# (libFuzzer, ASan, UBSan) and runs it for a bounded time.
#   scripts/fuzz.sh [seconds=60] [extra libFuzzer flags...]
# Findings land in build/fuzz/findings; the corpus grows in build/fuzz/corpus.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
shift || true
out=${PALLIMO_FUZZ_DIR:-$root/build/fuzz}
mkdir -p "$out/corpus" "$out/findings"

clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -Wall -Wextra -Werror -I"$root/src" \
  "$root/tests/fuzz/listfile_fuzz.cpp" "$root/src/custom/listfile.cpp" \
  "$root/src/app/settings.cpp" "$root/src/app/hotkey.cpp" "$root/src/app/catalogue.cpp" \
  -o "$out/listfile_fuzz"

# A few seeds shaped like real list and settings files.
printf 'a\r\n\r\nb\r\n' >"$out/corpus/seed-three"
printf '<font sml="AgHSBfc=">:-D</font>\r\n"AgHSE5E="\r\nx,y\r\n' >"$out/corpus/seed-tags"
printf '"open,\nlast,\r \t' >"$out/corpus/seed-edges"
printf '[Pallimo]\r\nStyle=Frog\r\nWindowLeft=-120\r\nWindowTop=80\r\nHotkeyKey=80\r\nHotkeyModifiers=3\r\n' \
  >"$out/corpus/seed-settings"

log="$out/fuzz.log"
if "$out/listfile_fuzz" -max_total_time="$seconds" -timeout=10 -max_len=4096 \
  -artifact_prefix="$out/findings/" "$@" "$out/corpus" >"$log" 2>&1; then
  tail -n 1 "$log"
else
  tail -n 40 "$log"
  echo "fuzz: the reader failed; the input is in $out/findings" >&2
  exit 1
fi
