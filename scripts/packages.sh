#!/usr/bin/env bash
# The Debian packages Servalo's commands need, each named once, and the step
# that installs those that are missing. Usage: scripts/packages.sh LEVEL
#   run   building the program and running it   (scripts/setup.sh, scripts/run.sh)
#   test  + the tools the tests drive           (scripts/test.sh)
#   ci    + the fuzzing build                   (.ci/run; its sanitizer build
#           needs nothing beyond g++)
# Each level includes the ones above it. With SERVALO_DRY_RUN=1 it installs
# nothing and prints the level's packages and those missing.
set -euo pipefail

RUN_PACKAGES=(
  cmake g++ make
  qt6-base-dev
  # Qt6Gui's CMake package refers to EGLFS modules only this one holds.
  libqt6opengl6-dev
  # espeak-ng and the sound library it plays through: headers to build,
  # loaded at run time when speech starts.
  libespeak-ng-dev libpcaudio-dev espeak-ng-data
  # The faces the windows and the printed help ask for (Helvetica, Arial,
  # Courier) and a font cache, so that Qt need not scan the fonts at start.
  fontconfig fonts-dejavu-core fonts-urw-base35
  # Qt's Wayland platform: the program's fall-back on a Wayland desktop
  # without XWayland. An X11 start loads none of it (Qt reads the metadata
  # of its two platform plugins, some 0.05 ms).
  qt6-wayland
)
TEST_PACKAGES=(
  xvfb xdotool
  x11-utils          # xwininfo, xprop
  poppler-utils      # pdftotext
  desktop-file-utils # desktop-file-validate
  weston             # a headless Wayland compositor: the start on Wayland
)
CI_PACKAGES=(
  clang
  libclang-rt-14-dev # libFuzzer
)

level=${1:-run}
case $level in
  run) wanted=("${RUN_PACKAGES[@]}") ;;
  test) wanted=("${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}") ;;
  ci) wanted=("${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${CI_PACKAGES[@]}") ;;
  *) echo "usage: $0 run|test|ci" >&2; exit 2 ;;
esac

missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ -n "${SERVALO_DRY_RUN:-}" ]; then
  echo "packages ($level): ${wanted[*]}"
  echo "missing: ${missing[*]:-none}"
  exit 0
fi

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -q
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
