#!/bin/sh
# Benchmarks of the engine under Wine, each on one local file system (figures, not tests).
# Usage: tools/bench_erase/run.sh [size_MiB]        (default 1024)
#   The engine's three-pass erase of one file against shred -n 3 and with three
#   synchronous dd passes, over the same number of bytes. The engine's figure includes
#   the truncation and removal of the file, so the last reference adds them to the dd
#   passes: dropping a large file's cached pages takes a sizeable share of the time.
#   RUNS=n repeats the whole comparison n times and ends with the median ratios.
# Usage: tools/bench_erase/run.sh pause [size_MiB]  (default 1024)
#   Pause and resume latency during a seven-pass erase of one file, beside the time
#   one 1 MiB chunk takes to write.
# Usage: tools/bench_erase/run.sh small [count]     (default 10000, at most 100000)
#   A folder of 4 KiB files erased by the engine (three passes) against
#   shred -n 3 -u, on files of the same names and content.
# BUILD names the Windows build tree (default build/bench); it is configured and the
# benchmark built there when missing.
set -eu
mode=large
case "${1:-}" in
    pause | small)
        mode="$1"
        shift
        ;;
esac
repo="$(cd "$(dirname "$0")/../.." && pwd)"
build="${BUILD:-$repo/build/bench}"
# Wine takes the prefix only as an absolute path.
case "$build" in
    /*) ;;
    *) build="$PWD/$build" ;;
esac

# Brings the named program up to date with the sources (a stale build would time old
# code) and prints its path.
program() {
    exe="$build/tools/bench_erase/$1.exe"
    if [ ! -f "$build/CMakeCache.txt" ]; then
        cmake -S "$repo" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
            -DCMAKE_BUILD_TYPE=Release >/dev/null
    fi
    cmake --build "$build" -j"$(nproc)" --target "$1" >/dev/null
    echo "$exe"
}

prefix="$build/wineprefix"
work="$build/bench_tmp"
# The benchmark's folder is the prefix's drive D:; nothing else of the host is mapped.
"$repo/cmake/wine_prefix_init.sh" "$prefix" d="$work"
now() { date +%s.%N; }
wine_run() { "$repo/cmake/wine_run.sh" "$prefix" "$@" | tr -d '\r'; }
fs="file system: $(df -T "$work" | awk 'NR==2 { print $2 }')"

run_large() {
    size_mib="${1:-1024}"
    runs="${RUNS:-1}"
    exe=$(program bench_erase)
    file="$work/bench.bin"
    bytes=$((size_mib * 1048576 * 3))
    ratios=$(mktemp)
    trap 'rm -f "$file" "$ratios"' EXIT
    make_file() {
        dd if=/dev/urandom of="$file" bs=1M count="$size_mib" conv=fsync status=none
    }
    rate() { echo "$bytes $1 $2" | awk '{ printf "%.1f", $1 / 1e6 / ($3 - $2) }'; }
    # Reads "shred dsync fdatasync fdatasync+rm" ratios; $1 labels the line.
    print_ratios() {
        awk -v label="$1" '{ printf "%s: engine/shred %.2f, engine/dd-dsync %.2f, " \
            "engine/dd-fdatasync %.2f, engine/dd-fdatasync+rm %.2f\n", label, $1, $2, $3, $4 }'
    }

    echo "$fs, $size_mib MiB, 3 passes, $runs run(s)"
    for run in $(seq "$runs"); do
        [ "$runs" -eq 1 ] || echo "run $run"
        make_file
        t0=$(now)
        inner=$(wine_run "$exe" 'D:\bench.bin')
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
        # ... then what the engine does after its passes: cut the file to nothing, remove it.
        truncate -s 0 "$file"
        rm -f "$file"
        t2=$(now)
        erase_rate=$(rate "$t0" "$t2")
        echo "the same, then truncate, rm: $erase_rate MB/s"

        echo "$engine $shred_rate $dd_rate $pass_rate $erase_rate" |
            awk '{ printf "%.3f %.3f %.3f %.3f\n", $1 / $2, $1 / $3, $1 / $4, $1 / $5 }' |
            tee -a "$ratios" | print_ratios ratios
    done
    [ "$runs" -eq 1 ] && return
    # Other work on the machine moves single runs a lot; the middle run is the figure.
    for column in 1 2 3 4; do
        cut -d' ' -f"$column" "$ratios" | sort -n | awk '{ v[NR] = $1 }
            END { printf "%s ", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
    done | print_ratios "median ratios"
}

run_pause() {
    size_mib="${1:-1024}"
    exe=$(program bench_pause)
    file="$work/bench.bin"
    trap 'rm -f "$file"' EXIT
    echo "$fs, $size_mib MiB, 7 passes, 10 pauses of 200-300 ms"
    dd if=/dev/urandom of="$file" bs=1M count="$size_mib" conv=fsync status=none
    wine_run "$exe" 'D:\bench.bin'
    [ ! -e "$file" ] || { echo "engine left the file behind" >&2; exit 1; }
}

run_small() {
    count="${1:-10000}"
    exe=$(program bench_small_files)
    source="$work/small.src"
    dir="$work/small"
    trap 'rm -rf "$source" "$dir"' EXIT
    # Both erasers get the same names and content, written out and synced beforehand,
    # so that neither pays for the other's set-up.
    dd if=/dev/urandom of="$source" bs=4096 count="$count" status=none
    make_files() {
        rm -rf "$dir"
        mkdir "$dir"
        (cd "$dir" && split -b 4096 -a 5 -d "$source" f)
        sync
    }

    echo "$fs, $count files of 4 KiB, 3 passes"
    make_files
    t0=$(now)
    inner=$(wine_run "$exe" 'D:\small')
    t1=$(now)
    echo "$inner"
    [ ! -e "$dir" ] || { echo "engine left the folder behind" >&2; exit 1; }
    # The program's own figure leaves out Wine's start-up, a fixed cost of the harness.
    engine=$(echo "$inner" | sed -n 's/.* in \([0-9.]*\) s = .*/\1/p')
    echo "$t0 $t1" | awk '{ printf "engine incl. Wine start-up: %.2f s\n", $2 - $1 }'

    make_files
    t0=$(now)
    find "$dir" -type f -exec shred -n 3 -u {} +
    rmdir "$dir"
    t1=$(now)
    shred_s=$(echo "$t0 $t1" | awk '{ printf "%.2f", $2 - $1 }')
    echo "shred -n 3 -u:              $shred_s s"
    echo "$engine $shred_s" | awk '{ printf "ratio: engine speed-up over shred %.2f\n", $2 / $1 }'
}

case "$mode" in
    large) run_large "$@" ;;
    pause) run_pause "$@" ;;
    small) run_small "$@" ;;
esac
