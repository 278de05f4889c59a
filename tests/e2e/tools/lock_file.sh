#!/bin/sh
# Makes (lock) or removes (unlock) a file that the system refuses to change or
# replace, for the custom codes test's save onto such a file. Nothing a Windows
# program can do under Wine makes one, so CTest runs this around the test.
#   lock_file.sh lock|unlock <folder>
# Writes <folder>/locked.txt and, only when it could be made immutable, the
# marker <folder>/locked.ok that tells the test to run the case. Also makes
# the symbolic link <folder>/link.txt -> real.txt for the save through a link.
set -u
dir=$2
case $1 in
  lock)
    mkdir -p "$dir"
    chattr -i "$dir/locked.txt" 2>/dev/null
    rm -f "$dir/locked.ok" "$dir"/pa[lb]*.tmp
    printf 'kept as it was\r\n' >"$dir/locked.txt"
    printf 'old\r\n' >"$dir/real.txt"
    ln -sfn real.txt "$dir/link.txt"
    if chattr +i "$dir/locked.txt" 2>/dev/null; then
      : >"$dir/locked.ok"
    else
      echo "lock_file: chattr +i not permitted here; the test skips the case" >&2
    fi
    ;;
  unlock)
    chattr -i "$dir/locked.txt" 2>/dev/null
    rm -rf "$dir"
    ;;
esac
exit 0
