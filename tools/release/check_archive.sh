#!/usr/bin/env bash
# Makes the release packages in a Windows build folder and checks that the
# portable ZIP holds exactly Pallimo.exe, README.md and LICENSE, and that the
# Pallimo.exe inside is the one just built.
set -euo pipefail
build=$1
cd "$build"
cpack >cpack.log 2>&1 || { cat cpack.log; exit 1; }
zip=Pallimo-1.05-win32.zip
[ -f "$zip" ] || { echo "FAIL: $zip was not made"; exit 1; }
listing=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
want="LICENSE Pallimo.exe README.md "
if [ "$listing" != "$want" ]; then
  echo "FAIL: $zip holds: $listing (want: $want)"
  exit 1
fi
if ! unzip -p "$zip" Pallimo.exe | cmp -s - Pallimo.exe; then
  echo "FAIL: the Pallimo.exe in $zip is not the one built"
  exit 1
fi
echo "$zip: $listing"
[ -f Pallimo-1.05-win32.exe ] && echo "installer: Pallimo-1.05-win32.exe ($(stat -c %s Pallimo-1.05-win32.exe) bytes)"
echo "release archive checks passed"
