#!/bin/sh
# Runs the host-link suite under Wine on a fixture that only the host can make: symbolic
# links (Wine's CreateSymbolicLinkW creates nothing) and a folder marked immutable, in
# which Wine's DeleteFileW reports success and leaves the file.
# Usage: host_links_fixture.sh PREFIX SCRATCH_FOLDER TEST_EXE
set -eu
prefix="$1"
scratch="$2"
exe="$3"
root="$scratch/host-links"

clean() {
    chattr -i "$root/immutable" 2>/dev/null || true
    rm -rf "$root"
}
clean
trap clean EXIT
# An interrupted run must not leave an immutable folder that nothing can delete.
trap 'exit 1' INT TERM HUP

mkdir -p "$root/req/sub" "$root/req2" "$root/outside/tdir" "$root/immutable"
printf 'precious' >"$root/outside/target.txt"
printf 'inner' >"$root/outside/tdir/inner.txt"
head -c 5000 /dev/zero | tr '\0' 'p' >"$root/req/plain.txt"
ln -s ../outside/target.txt "$root/req/filelink"
ln -s ../outside/tdir "$root/req/dirlink"
ln -s ../../outside/tdir "$root/req/sub/deep"
ln -s ../outside/target.txt "$root/req2/filelink"
ln -s ../outside/tdir "$root/req2/dirlink"
printf 'stays' >"$root/immutable/stays.txt"
immutable=1
chattr +i "$root/immutable" 2>/dev/null || immutable=0

QMZ_HOST_LINKS='D:\host-links' QMZ_HOST_IMMUTABLE="$immutable" \
    "$(dirname "$0")/../../cmake/wine_run.sh" "$prefix" "$exe" --gtest_brief=0 \
    --gtest_filter='Win32HostLinkTest.*'

# The host's own view: the targets are whole.
[ "$(cat "$root/outside/target.txt")" = precious ]
[ "$(cat "$root/outside/tdir/inner.txt")" = inner ]
