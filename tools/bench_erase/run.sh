#!/bin/sh
# Compares the engine's three-pass erase (under Wine) with shred -n 3 and with three
# synchronous dd passes, on the same local file system and the same number of bytes.
# Usage: tools/bench_erase/run.sh [size_MiB]   (default 1024)
# BUILD names the Windows build tree (default build/bench); it is configured and the
# benchmark built there when missing.
set -eu
size_mib="${1:-1024}"
repo="$(cd "$(dirname "$0")/../.." && pwd)"
build="${BUILD:-$repo/build/bench}"
exe="$build/tools/bench_erase/bench_erase.exe"
if [ ! -f "$exe" ]; then
    cmake -S "$repo" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build" -j"$(nproc)" --target bench_erase >/dev/null
fi
prefix="$build/wineprefix"
work="$build/bench_tmp"
# The benchmark's folder is the prefix's drive D:; nothing else of the host is mapped.
"$repo/cmake/wine_prefix_init.sh" "$prefix" d="$work"
file="$work/bench.bin"
bytes=$((size_mib * 1048576 * 3))
trap 'rm -f "$file"' EXIT

make_file() {
    dd if=/dev/urandom of="$file" bs=1M count="$size_mib" conv=fsync status=none
}
now() { date +%s.%N; }
rate() { echo "$bytes $1 $2" | awk '{ printf "%.1f", $1 / 1e6 / ($3 - $2) }'; }

echo "file system: $(df -T "$work" | awk 'NR==2 { print $2 }'), $size_mib MiB, 3 passes"

make_file
winpath='D:\bench.bin'
t0=$(now)
inner=$("$repo/cmake/wine_run.sh" "$prefix" "$exe" "$winpath" | tr -d '\r')
t1=$(now)
echo "$inner"
# The program's own figure leaves out Wine's start-up, a fixed cost of the harness.
engine=$(echo "$inner" | sed -n 's/.*= \([0-9.]*\) MB\/s.*/\1/p')
echo "engine incl. Wine start-up: $(rate "$t0" "$t1") MB/s"
[ ! -e "$file" ] || { echo "engine left the file behind" >&2; exit 1; }

make_file
t0=$(now)
shred -n 3 "$file"
t1=$(now)
shred_rate=$(rate "$t0" "$t1")
echo "shred -n 3:                 $shred_rate MB/s"

t0=$(now)
for _ in 1 2 3; do
    dd if=/dev/zero of="$file" bs=1M count="$size_mib" conv=notrunc oflag=dsync status=none
done
t1=$(now)
dd_rate=$(rate "$t0" "$t1")
echo "dd oflag=dsync x3:          $dd_rate MB/s"

# The engine syncs once per pass, so the matching limit is one sync per pass.
t0=$(now)
for _ in 1 2 3; do
    dd if=/dev/zero of="$file" bs=1M count="$size_mib" conv=notrunc,fdatasync status=none
done
t1=$(now)
pass_rate=$(rate "$t0" "$t1")
echo "dd conv=fdatasync x3:       $pass_rate MB/s"

echo "$engine $shred_rate $dd_rate $pass_rate" |
    awk '{ printf "ratios: engine/shred %.2f, engine/dd-dsync %.2f, engine/dd-fdatasync %.2f\n",
           $1 / $2, $1 / $3, $1 / $4 }'
