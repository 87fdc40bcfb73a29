#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite.
# Usage: scripts/test.sh [--sanitize] [--repeat N] [ctest arguments...]
#   --repeat N  runs every test up to N times and stops a test at its first failure
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

sanitize=OFF
args=()
while [ $# -gt 0 ]; do
    case "$1" in
        --sanitize) sanitize=ON ;;
        --repeat)
            if ! [[ "${2:-}" =~ ^[1-9][0-9]*$ ]]; then
                echo "test.sh: --repeat needs a positive count" >&2
                exit 2
            fi
            args+=(--repeat "until-fail:$2")
            shift
            ;;
        *) args+=("$1") ;;
    esac
    shift
done

"$root/scripts/setup-deps.sh"
if [ "$sanitize" = ON ]; then
    export LUMORA_BUILD_DIR="${LUMORA_BUILD_DIR:-$root/build-sanitize}"
    export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
    export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
    "$root/scripts/build.sh" RelWithDebInfo -DLUMORA_SANITIZE=ON
else
    export LUMORA_BUILD_DIR="${LUMORA_BUILD_DIR:-$root/build}"
    "$root/scripts/build.sh" RelWithDebInfo -DLUMORA_SANITIZE=OFF
fi

# Tests that open windows get a private virtual X server.
xvfb_pid=""
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
        Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        export DISPLAY=":$n"
        break
    fi
done
for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ] && break
    sleep 0.1
done

cd "$LUMORA_BUILD_DIR"
ctest --output-on-failure --timeout 300 -j "$(nproc)" "${args[@]}"
