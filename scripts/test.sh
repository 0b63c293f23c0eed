#!/usr/bin/env bash
# Sets up, builds and runs every test (unit tests offscreen, end-to-end
# tests under a private Xvfb). Usage: scripts/test.sh [extra cmake arguments]
# SERVALO_DRY_RUN=1 only lists the packages it would install.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/packages.sh test
[ -z "${SERVALO_DRY_RUN:-}" ] || exit 0
scripts/setup.sh "$@"
cd "${BUILD_DIR:-build}"
ctest --output-on-failure -j"$(nproc)"
