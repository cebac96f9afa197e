#!/bin/sh
# Emulator for the Windows build: runs a program under Wine in the given prefix.
# Usage: wine_run.sh PREFIX PROGRAM [ARGS...]
# Windows need a display; without one a private Xvfb is started and reused.
# The prefix must have been made by wine_prefix_init.sh.
prefix="$1"
shift
# Never run anything in a prefix that reaches the host's root folder.
"$(dirname "$0")/wine_prefix_check.sh" "$prefix" || exit 1
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ -z "$DISPLAY" ]; then
    display=87
    lock="/tmp/.X${display}-lock"
    # A lock left by an Xvfb that is gone (a killed session, a reboot) would
    # make every window test wait for a display that never answers.
    owner="$(tr -d ' ' <"$lock" 2>/dev/null)"
    if [ -e "$lock" ] && [ "$(cat "/proc/${owner}/comm" 2>/dev/null)" != Xvfb ]; then
        rm -f "$lock" "/tmp/.X11-unix/X${display}"
    fi
    if [ ! -e "$lock" ]; then
        setsid Xvfb ":${display}" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        for _ in $(seq 50); do
            [ -e "/tmp/.X11-unix/X${display}" ] && break
            sleep 0.1
        done
    fi
    export DISPLAY=":${display}"
fi
exec wine "$@"
