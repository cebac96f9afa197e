#!/bin/bash
# Builds the Windows program and starts it under Wine, in a prefix of its own with the
# Japanese font mapping. Without a display a private Xvfb is started.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install_deps.sh"
dir="$root/build/run"
cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$dir" -j"$(nproc)" --target QMZ4
"$root/cmake/wine_prefix_init.sh" "$dir/wineprefix"
if [ -z "${DISPLAY:-}" ]; then
    echo "No display: running on a private Xvfb (:87). For a screenshot:"
    echo "  xwd -root -silent -display :87 | convert xwd:- shot.png"
fi
exec "$root/cmake/wine_run.sh" "$dir/wineprefix" "$dir/app/QMZ4.exe" "$@"
