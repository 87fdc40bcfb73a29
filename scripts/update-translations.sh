#!/usr/bin/env bash
# Refreshes the translation sources from the code; new texts come in as unfinished and
# need a translator before the next release.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
lupdate="$(command -v lupdate || echo /usr/lib/qt5/bin/lupdate)"
cd "$root"
# Only the source folders that exist: lupdate writes nothing when it is given a missing one.
folders=()
for folder in core frames imageprocess camera video display capture measure analysis accessories camsettings app; do
    [ -d "$folder" ] && folders+=("$folder")
done
"$lupdate" -no-obsolete -locations none "${folders[@]}" \
    -ts resources/translations/language_cn.ts resources/translations/language_tw.ts 2>/dev/null |
    grep -E 'Found|Updating' || true
grep -c 'type="unfinished"' resources/translations/*.ts || true
