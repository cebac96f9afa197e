#!/bin/sh
# Round trips of the automation interface under Wine (figures, not tests):
#   cscript alone, running an empty script: the script host's own start, part of (a), (b);
#   (a) erase_files.vbs (CreateObject, DoFilesAndFolders) to its row in the erase list of
#       the running program;
#   (b) the same with no program running, so that COM starts QMZ4.exe -Embedding first;
#   (c) a plain start of QMZ4.exe to its main window.
# Usage: tools/bench_automation/run.sh [runs]   (default 5); prints each run and the medians.
# BUILD names the Windows build tree (default build/bench); it is configured and the
# program and the benchmark built there when missing. The benchmark has its own prefix
# in that tree, so the test prefix keeps its drives and registry.
set -eu
runs="${1:-5}"
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
cmake --build "$build" -j2 --target QMZ4 bench_automation >/dev/null

prefix="$build/wineprefix-automation"
work="$build/bench_automation_tmp"
mkdir -p "$work/scripts" "$work/rows"
cp "$repo"/examples/automation/*.vbs "$work/scripts/"
printf 'WScript.Quit 0\r\n' >"$work/scripts/empty.vbs"
# The build tree is B: (the programs), the work folder D: (scripts, row paths); no Z:.
"$repo/cmake/wine_prefix_init.sh" "$prefix" b="$build" d="$work"
export LC_ALL=ja_JP.UTF-8
"$repo/cmake/wine_run.sh" "$prefix" "$build/tools/bench_automation/bench_automation.exe" \
    'B:\app\QMZ4.exe' 'D:\scripts' "$runs" | tr -d '\r'
