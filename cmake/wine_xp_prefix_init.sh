#!/bin/sh
# Creates a throwaway Wine prefix as wine_prefix_init.sh does (same drives, no Z:) and has
# it report Windows XP x64 (5.2) to every program run in it, so that the programs take
# their pre-Vista ways even though Wine's kernel32 has the Vista calls.
# Usage: wine_xp_prefix_init.sh PREFIX [LETTER=FOLDER ...]
set -e
here=$(dirname "$0")
prefix="$1"
"$here/wine_prefix_init.sh" "$@"
reports_xp() { grep -q '"Version"="winxp64"' "$prefix/user.reg"; }
if ! reports_xp; then
    "$here/wine_run.sh" "$prefix" reg add 'HKCU\Software\Wine' /v Version /d winxp64 /f \
        >/dev/null 2>&1 || true
    WINEPREFIX="$prefix" wineserver -w || true
fi
if ! reports_xp; then
    echo "the Windows XP version did not reach the registry of $prefix" >&2
    exit 1
fi
