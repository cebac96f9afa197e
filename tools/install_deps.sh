#!/bin/sh
# Installs, from Debian's packages, whatever the builds and tests need and is missing.
set -e
packages="cmake make g++ googletest
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
    wine wine64 libwine-dev xvfb x11-apps imagemagick fonts-ipafont-gothic python3 locales
    python3-reportlab poppler-utils e2fsprogs mount"
missing=""
for p in $packages; do
    dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    as_root=""
    [ "$(id -u)" -eq 0 ] || as_root="sudo"
    $as_root apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -qq --no-install-recommends $missing
fi

# Wine names host files in the user's locale: without a Japanese UTF-8 locale on the host,
# a program running under LC_ALL=ja_JP.UTF-8 cannot create a file with a Japanese name.
# The tests run the product under Japanese and English user locales.
for locale in ja_JP.UTF-8 en_US.UTF-8; do
    if ! locale -a 2>/dev/null | grep -qix "$(echo "$locale" | sed 's/UTF-8/utf8/')"; then
        need_locales=1
    fi
done
if [ -n "${need_locales:-}" ]; then
    as_root=""
    [ "$(id -u)" -eq 0 ] || as_root="sudo"
    dpkg -s locales >/dev/null 2>&1 || {
        $as_root apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -qq --no-install-recommends locales
    }
    for locale in "ja_JP.UTF-8 UTF-8" "en_US.UTF-8 UTF-8"; do
        grep -qx "$locale" /etc/locale.gen 2>/dev/null ||
            echo "$locale" | $as_root tee -a /etc/locale.gen >/dev/null
    done
    $as_root locale-gen >/dev/null
fi
