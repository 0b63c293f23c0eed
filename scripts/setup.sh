#!/usr/bin/env bash
# Installs the Debian packages that the build, the program and its tests
# need (only those that are missing), then configures and builds Servalo
# into build/ (or $BUILD_DIR). Usage: scripts/setup.sh [extra cmake arguments]
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev libqt6opengl6-dev qt6-gtk-platformtheme
  libespeak-ng-dev libpcaudio-dev espeak-ng-data
  fonts-urw-base35 fonts-dejavu-core fontconfig
  xvfb xdotool x11-utils poppler-utils
  clang libclang-rt-14-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)"
