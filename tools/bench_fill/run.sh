#!/bin/sh
# The program's free-space fill against dd on one loop-mounted ext4 image (figures, not
# tests). Both write through the same loop device into the same file system, and nothing
# drops the host's caches, so like is compared with like:
#   dd if=/dev/zero bs=512K conv=fdatasync until the image is full (one pass), then the
#   same file rewritten twice with conv=notrunc,fdatasync, each pass timed on its own;
#   the program's free-space erase of the image with a one-pass method (0: 00) and a
#   three-pass method (3: 00 FF E5), from the start button to its result row;
#   the program's VmRSS idle before the erase and at its peak during the fill.
# Usage: tools/bench_fill/run.sh [size_MiB]   (default 256)
# Needs root and loop devices: tests/volume/with_image_drive.sh makes the image (ext4, 4 KiB
# blocks, no journal) inside the build tree and maps it as E: of the benchmark's own
# prefix. BUILD names the Windows build tree (default build/bench); it is configured and
# the programs built there when missing.
set -eu
if [ "${1:-}" = --inner ]; then
    here="$(cd "$(dirname "$0")" && pwd)"
    build="$2"
    prefix="$3"
    mnt="$QMZ_IMAGE_MOUNT"
    file="$mnt/ddfill"
    now() { date +%s.%N; }
    free_bytes() { stat -f -c '%a %S' "$mnt" | awk '{ print $1 * $2 }'; }
    rate() { awk -v b="$1" -v s="$2" 'BEGIN { printf "%.1f", b / 1e6 / s }'; }
    elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }

    free_before=$(free_bytes)
    t0=$(now)
    # dd ends at "No space left on device"; its data is then synced by hand.
    dd if=/dev/zero of="$file" bs=512K conv=fdatasync status=none 2>/dev/null || true
    sync -d "$file"
    t1=$(now)
    bytes=$(stat -c %s "$file")
    left=$(free_bytes)
    pass1=$(elapsed "$t0" "$t1")
    dd if=/dev/zero of="$file" bs=512K count="$bytes" iflag=count_bytes conv=notrunc,fdatasync \
        status=none
    t2=$(now)
    dd if=/dev/zero of="$file" bs=512K count="$bytes" iflag=count_bytes conv=notrunc,fdatasync \
        status=none
    t3=$(now)
    pass2=$(elapsed "$t1" "$t2")
    pass3=$(elapsed "$t2" "$t3")
    three=$(elapsed "$t0" "$t3")
    rm -f "$file"
    # Settled before the program measures its free space; this syncs the image alone.
    sync -f "$mnt"

    # From inside the build tree, which Wine knows as B:.
    out=$(cd "$build" && "$here/../../cmake/wine_run.sh" "$prefix" \
        "$build/tools/bench_fill/bench_fill.exe" 'B:\app\QMZ4.exe' 0 3 | tr -d '\r')
    echo "$out" | sed 's/^/  program: /'
    field() { echo "$out" | grep "^method=$1 " | sed -n "s/.* $2=\([^ ]*\).*/\1/p"; }
    for m in 0 3; do
        if [ -z "$(field $m seconds)" ]; then
            echo "no figure for method $m" >&2
            exit 1
        fi
    done

    echo
    echo "image: $QMZ_IMAGE_MIB MiB ext4 (4 KiB blocks, no journal, nothing reserved)," \
        "$free_before bytes free; dd filled $bytes bytes, leaving $left"
    printf '%-34s %10s %10s %8s\n' "" seconds MB/s program/dd
    printf '%-34s %10s %10s\n' "dd pass 1 (fill, fdatasync)" "$pass1" "$(rate "$bytes" "$pass1")"
    printf '%-34s %10s %10s\n' "dd pass 2 (rewrite, fdatasync)" "$pass2" "$(rate "$bytes" "$pass2")"
    printf '%-34s %10s %10s\n' "dd pass 3 (rewrite, fdatasync)" "$pass3" "$(rate "$bytes" "$pass3")"
    dd1=$(rate "$bytes" "$pass1")
    dd3=$(rate "$((bytes * 3))" "$three")
    printf '%-34s %10s %10s\n' "dd 3 passes" "$three" "$dd3"
    for m in 0 3; do
        passes=$([ $m = 0 ] && echo 1 || echo 3)
        seconds=$(field $m seconds)
        written=$(($(field $m bytes) * passes))
        mbs=$(rate "$written" "$seconds")
        reference=$([ $m = 0 ] && echo "$dd1" || echo "$dd3")
        printf '%-34s %10s %10s %8s\n' "QMZ4 method $m ($passes pass(es), to result)" "$seconds" \
            "$mbs" "$(awk -v a="$mbs" -v b="$reference" 'BEGIN { printf "%.2f", a / b }')"
    done
    for m in 0 3; do
        idle=$(field $m idle_kib)
        peak=$(field $m peak_kib)
        hwm=$(field $m hwm_kib)
        awk -v m="$m" -v i="$idle" -v p="$peak" -v h="$hwm" -v f="$(field $m least_free)" 'BEGIN {
            printf "QMZ4 method %s memory: idle %.1f MiB, peak VmRSS during the fill %.1f MiB " \
                   "(+%.1f MiB), VmHWM after %.1f MiB; least free during the fill %d bytes\n",
                   m, i / 1024, p / 1024, (p - i) / 1024, h / 1024, f }'
    done
    exit 0
fi

size="${1:-256}"
repo="$(cd "$(dirname "$0")/../.." && pwd)"
build="${BUILD:-$repo/build/bench}"
# Wine takes the prefix only as an absolute path.
case "$build" in
    /*) ;;
    *) build="$PWD/$build" ;;
esac
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$repo" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
# A stale build would time old code.
cmake --build "$build" -j2 --target QMZ4 bench_fill >/dev/null

# The benchmark's own prefix: the build tree as B:, its work folder as D:, the image as E:.
prefix="$build/wineprefix-fill"
work="$build/bench_fill_tmp"
"$repo/cmake/wine_prefix_init.sh" "$prefix" b="$build" d="$work"
export LC_ALL=ja_JP.UTF-8
exec "$repo/tests/volume/with_image_drive.sh" "$prefix" "$work/image" "$size" E \
    sh "$0" --inner "$build" "$prefix"
