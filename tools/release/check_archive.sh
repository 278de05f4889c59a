#!/usr/bin/env bash
# Makes the release packages in a Windows build folder and checks that the
# portable ZIP holds exactly Pallimo.exe, README.md and LICENSE, that the
# Pallimo.exe inside is the one just built, and, where makensis made an
# installer, where its shortcut starts Pallimo (under Wine, in the test prefix).
set -euo pipefail
build=$1
package=$2  # the packages' name without extension, Pallimo-<version>-win32
cd "$build"
cpack >cpack.log 2>&1 || { cat cpack.log; exit 1; }
zip=$package.zip
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
[ -f "$package.exe" ] && echo "installer: $package.exe ($(stat -c %s "$package.exe") bytes)"

# The installer, run silently under Wine into a folder of its own: the
# Start-menu shortcut starts Pallimo in the user's profile folder, which every
# user can write to and which Windows expands for whoever starts it, not in
# the installation folder (an ordinary user cannot write there, so a save of
# the list would fail).
installer=$package.exe
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env.sh"
if [ -f "$installer" ] && [ "$PALLIMO_WINE_BITS" = 64 ]; then
  # The installer and the program it installs are 32-bit Windows programs.
  echo "installer check skipped: this machine runs no 32-bit programs"
elif [ -f "$installer" ]; then
  [ -n "${DISPLAY:-}" ] || { echo "FAIL: the installer check needs DISPLAY (run it through scripts/test.sh)"; exit 1; }
  pallimo_make_prefix || exit 1
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
  target='C:\pallimo-install-check'
  wine "$installer" /S "/D=$target" || { echo "FAIL: the installer failed"; exit 1; }
  wineserver -w
  installed=$(winepath -u "$target" 2>/dev/null)
  find_link() { find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name Pallimo.lnk -newer "$installer" -print -quit; }
  link=$(find_link)
  [ -n "$link" ] || { echo "FAIL: the installer made no Start-menu shortcut Pallimo.lnk"; exit 1; }
  [ -f "$installed/Pallimo.exe" ] || { echo "FAIL: the installer put no Pallimo.exe into $target"; exit 1; }
  cp "$link" installed-shortcut.lnk
  wine "$target\\Uninstall.exe" /S "_?=$target" >/dev/null 2>&1 || { echo "FAIL: the uninstaller failed"; exit 1; }
  wineserver -w
  [ -z "$(find_link)" ] || { echo "FAIL: the uninstaller left the Start-menu shortcut"; exit 1; }
  rm -rf "$installed"
  link=installed-shortcut.lnk
  # The shortcut's target and working folder, read from the shell link file.
  read -r exe dir < <(python3 - "$link" <<'PYEOF'
import struct, sys
data = open(sys.argv[1], "rb").read()
flags = struct.unpack_from("<I", data, 0x14)[0]
pos = 0x4C
if flags & 0x01:  # an item id list
    pos += 2 + struct.unpack_from("<H", data, pos)[0]
path = ""
if flags & 0x02:  # link info: the local base path
    size, header = struct.unpack_from("<II", data, pos)
    base = struct.unpack_from("<I", data, pos + 16)[0]
    path = data[pos + base:data.index(b"\0", pos + base)].decode("latin-1")
    pos += size
strings = []
for bit in (0x04, 0x08, 0x10):  # name, relative path, working folder
    text = ""
    if flags & bit:
        n = struct.unpack_from("<H", data, pos)[0]
        unicode = flags & 0x80
        raw = data[pos + 2:pos + 2 + n * (2 if unicode else 1)]
        text = raw.decode("utf-16-le" if unicode else "latin-1")
        pos += 2 + len(raw)
    strings.append(text)
print(path.replace(" ", "?") or "-", strings[2].replace(" ", "?") or "-")
PYEOF
  )
  echo "shortcut: $exe, starts in $dir"
  case "$exe" in
    *'\Pallimo.exe') ;;
    *) echo "FAIL: the shortcut does not start Pallimo.exe (it starts $exe)"; exit 1 ;;
  esac
  if [ "$dir" != '%USERPROFILE%' ]; then
    echo "FAIL: the shortcut starts Pallimo in $dir, want the user's profile folder %USERPROFILE%"
    exit 1
  fi
else
  echo "installer check skipped: makensis made no installer"
fi
echo "release archive checks passed"
