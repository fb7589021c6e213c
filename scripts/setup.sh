#!/usr/bin/env bash
# Installs the Debian packages Zorvat needs (only those missing) and builds it
# (Release) into ./build. Safe to run again: it only does what is left to do.
# With --packages-only it stops after the packages.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6printsupport6 qt6-image-formats-plugins
  libgl-dev libopencv-core-dev libopencv-imgproc-dev
  libjpeg62-turbo-dev libpng-dev zlib1g-dev libsane-dev sane-utils nlohmann-json3-dev
  libturbojpeg0-dev libjpeg-turbo-progs img2pdf
  fonts-ipafont-gothic
  xvfb xauth xdotool x11-xserver-utils xclip python3 poppler-utils
  qt6-translations-l10n qt6-l10n-tools desktop-file-utils appstream dpkg-dev
  clang libclang-rt-14-dev
  python3-ezdxf  # tests only: reads written DXF files back
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

[ "${1:-}" = "--packages-only" ] && exit 0

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --parallel "$(nproc)"
