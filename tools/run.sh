#!/bin/bash
# Builds the Windows program, its Explorer extension and its manual, and starts the program under
# Wine, in a prefix of its own with the Japanese font mapping. Without a display a
# private Xvfb is started.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install_deps.sh"
dir="$root/build/run"
cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$dir" -j"$(nproc)" --target QMZ4 QMZ4shellext qmz_manual
# The prefix sees none of the host but its scratch folder, as drive D:.
"$root/cmake/wine_prefix_init.sh" "$dir/wineprefix" d="$dir/scratch"
echo "Drive D: in the program is $dir/scratch: put files there to try erasing them."
if [ -z "${DISPLAY:-}" ]; then
    echo "No display: running on a private Xvfb (:87). For a screenshot:"
    echo "  xwd -root -silent -display :87 | convert xwd:- shot.png"
fi
# As our users run it: a Japanese user locale (code page 932).
export LC_ALL=ja_JP.UTF-8
exec "$root/cmake/wine_run.sh" "$dir/wineprefix" "$dir/app/QMZ4.exe" "$@"
