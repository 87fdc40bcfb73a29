#!/usr/bin/env bash
# Builds and runs the benchmarks; each prints lines of the form
#   BENCH name=<id> value=<median> unit=<unit> anchor=<id> anchor_value=<median> ratio=<value/anchor_value>
# Usage: bench/run.sh [filter]   (filter: a substring of the benchmark executable's name)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
filter="${1:-}"
"$root/scripts/setup-deps.sh"
export LUMORA_BUILD_DIR="${LUMORA_BUILD_DIR:-$root/build}"
"$root/scripts/build.sh"
# Benchmarks that draw with OpenGL need a display; without one they get a virtual X server.
run() {
    if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null 2>&1; then
        xvfb-run -a -s "-screen 0 1920x1080x24" "$@"
    else
        "$@"
    fi
}
found=0
for exe in "$LUMORA_BUILD_DIR"/bin/bench_*; do
    [ -x "$exe" ] || continue
    case "$(basename "$exe")" in *"$filter"*) ;; *) continue ;; esac
    found=1
    run "$exe"
done
[ "$found" = 1 ] || echo "bench: no benchmark matches '${filter}'"
