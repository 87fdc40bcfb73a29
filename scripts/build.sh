#!/usr/bin/env bash
# Configures and builds the tree into build/ (or $LUMORA_BUILD_DIR).
# Usage: scripts/build.sh [RelWithDebInfo|Release|Debug] [extra cmake args...]
# The program, the tests and the benchmarks share one build type (RelWithDebInfo: optimised, with
# symbols for crash reports), so that running one after the other rebuilds nothing.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
type="${1:-RelWithDebInfo}"
shift || true
build="${LUMORA_BUILD_DIR:-$root/build}"

launcher=()
if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
generator=()
if [ ! -f "$build/CMakeCache.txt" ] && command -v ninja >/dev/null 2>&1; then
    generator=(-G Ninja)
fi

cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE="$type" "${launcher[@]}" "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
