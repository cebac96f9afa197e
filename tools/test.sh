#!/bin/bash
# Builds every configuration and runs every test: native, ASan+UBSan, TSan, and the
# Windows build under Wine. Exits non-zero on any failure.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install_deps.sh" || exit 1

jobs=$(nproc)
start=$(date +%s)
failed=0
summary=()

run_config() {
    local name=$1
    shift
    local dir="$root/build/$name"
    echo "=== $name: configure and build"
    if ! cmake -S "$root" -B "$dir" "$@" >"$dir.configure.log" 2>&1; then
        mkdir -p "$dir"; cat "$dir.configure.log"; failed=1; summary+=("$name: configure FAILED"); return
    fi
    if ! cmake --build "$dir" -j"$jobs" >"$dir.build.log" 2>&1; then
        grep -E 'error|Error' "$dir.build.log" | head -40; failed=1; summary+=("$name: build FAILED"); return
    fi
    echo "=== $name: test"
    if (cd "$dir" && ctest --output-on-failure --timeout 600 -j1 2>&1 | tee "$dir.test.log" | tail -n 25); then
        :
    fi
    if ! grep -q '100% tests passed' "$dir.test.log"; then
        failed=1
    fi
    summary+=("$name: $(grep -E 'tests passed|tests failed' "$dir.test.log" | tail -1)")
    # The fault sweep's size, so that a sweep that shrank to nothing shows.
    local sweep
    sweep=$(grep -h '^fault sweep: [0-9]* runs' "$dir/Testing/Temporary/LastTest.log" 2>/dev/null)
    [ -n "$sweep" ] && summary+=("$name: $sweep")
}

mkdir -p "$root/build"
run_config native -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_config asan -DCMAKE_BUILD_TYPE=Debug -DQMZ_SANITIZE=address,undefined
run_config tsan -DCMAKE_BUILD_TYPE=Debug -DQMZ_SANITIZE=thread
run_config win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release
# Leave no Wine server or private display behind.
WINEPREFIX="$root/build/win/wineprefix" wineserver -k >/dev/null 2>&1 || true

echo "=== summary ($(( $(date +%s) - start )) s)"
printf '%s\n' "${summary[@]}"
exit $failed
