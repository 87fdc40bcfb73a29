#!/usr/bin/env bash
# Installs every Debian package that the build, the program and the tests need.
# Idempotent and quiet when everything is present; works as root or through sudo.
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build ccache pkg-config
    qtbase5-dev qtbase5-dev-tools libqt5opengl5-dev libqt5svg5-dev libqt5serialport5-dev
    libqt5sql5-sqlite qttools5-dev qttools5-dev-tools qttranslations5-l10n
    libavcodec-dev libavformat-dev libavutil-dev libswscale-dev
    xvfb xauth libgl1-mesa-dri libx11-dev
    fonts-dejavu-core fonts-wqy-microhei
    libyuv-dev libzxing-dev libopencv-dev nlohmann-json3-dev libfreetype-dev libturbojpeg0-dev libtiff-dev
    poppler-utils libqcustomplot-dev zbar-tools ffmpeg
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    SUDO=()
elif command -v sudo >/dev/null 2>&1; then
    SUDO=(sudo)
else
    echo "setup-deps: missing packages (${missing[*]}) and neither root nor sudo is available" >&2
    exit 1
fi

echo "setup-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
