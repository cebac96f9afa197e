#!/bin/sh
# The build's Wine prefix maps no drive to the host's root, and the runner refuses a
# prefix that does.
# Usage: wine_prefix_safety_test.sh PREFIX
set -u
here="$(dirname "$0")"
prefix="$1"
"$here/wine_prefix_check.sh" "$prefix" || { echo "FAIL: the build's prefix is unsafe"; exit 1; }

unsafe=$(mktemp -d)
trap 'rm -rf "$unsafe"' EXIT
mkdir -p "$unsafe/dosdevices"
touch "$unsafe/system.reg"
ln -s / "$unsafe/dosdevices/q:"
if "$here/wine_prefix_check.sh" "$unsafe" 2>/dev/null; then
    echo "FAIL: a drive mapped to / passed the check"
    exit 1
fi
if WINEDEBUG=-all "$here/wine_run.sh" "$unsafe" cmd /c exit 0 2>/dev/null; then
    echo "FAIL: the runner started a program in a prefix that maps /"
    exit 1
fi
echo "prefix $prefix maps:"
for device in "$prefix"/dosdevices/?:; do
    echo "  $(basename "$device") -> $(readlink -f "$device")"
done
