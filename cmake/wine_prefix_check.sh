#!/bin/sh
# Fails when a Wine prefix maps any drive to the host's root folder: the tests run as
# root, and a free-space or whole-volume erase of such a drive would reach the host.
# Usage: wine_prefix_check.sh PREFIX
prefix="$1"
if [ ! -d "$prefix/dosdevices" ]; then
    echo "no Wine prefix at $prefix (run cmake/wine_prefix_init.sh first)" >&2
    exit 1
fi
status=0
for device in "$prefix"/dosdevices/?:; do
    [ -L "$device" ] || continue
    if [ "$(readlink -f "$device")" = / ]; then
        echo "unsafe Wine prefix: drive $(basename "$device") maps the host's root folder" >&2
        status=1
    fi
done
exit $status
