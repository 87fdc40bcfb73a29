#!/usr/bin/env bash
# Sets up, builds and starts Lumora.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup-deps.sh"
"$root/scripts/build.sh"
exec "${LUMORA_BUILD_DIR:-$root/build}/bin/lumora" "$@"
