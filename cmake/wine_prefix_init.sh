#!/bin/sh
# Creates the throwaway Wine prefix of a build tree (once) and sets it up for the
# program's windows: Japanese fonts behind the dialog font names, Wine-drawn frames.
# Wine's default Z: (the host's root folder) is removed; the only other drives are
# the folders given as LETTER=FOLDER, each created when missing.
# Usage: wine_prefix_init.sh PREFIX [LETTER=FOLDER ...]
set -e
prefix="$1"
shift
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$prefix"
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w || true
fi
rm -f "$prefix/dosdevices/z:"
for mapping in "$@"; do
    letter=$(echo "${mapping%%=*}" | tr 'A-Z' 'a-z')
    folder="${mapping#*=}"
    mkdir -p "$folder"
    ln -sfn "$(cd "$folder" && pwd)" "$prefix/dosdevices/$letter:"
done
imported() { grep -q '"Managed"="N"' "$prefix/user.reg"; }
if ! imported; then
    # The import goes through drive C:, the one drive every prefix has: Wine cannot open a
    # host path once Z: is gone.
    reg="$prefix/drive_c/qmz_prefix_settings.reg"
    cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"MS UI Gothic"="IPAGothic"
"MS Shell Dlg"="IPAGothic"
"MS Shell Dlg 2"="IPAGothic"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"
"Managed"="N"
REG
    wine regedit /S 'C:\qmz_prefix_settings.reg' >/dev/null 2>&1 || true
    wineserver -w || true
    rm -f "$reg"
fi
if ! imported; then
    echo "the prefix settings did not reach the registry of $prefix" >&2
    exit 1
fi
test -f "$prefix/system.reg"
"$(dirname "$0")/wine_prefix_check.sh" "$prefix"
