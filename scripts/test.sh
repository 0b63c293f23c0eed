#!/usr/bin/env bash
# Sets up, builds and runs every test (unit tests offscreen, end-to-end
# tests under a private Xvfb). Usage: scripts/test.sh [extra cmake arguments]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh "$@"
cd "${BUILD_DIR:-build}"
ctest --output-on-failure -j"$(nproc)"
