#!/usr/bin/env bash
# Installs what the build and the program need (scripts/packages.sh run,
# only what is missing), then configures and builds Servalo into build/ (or
# $BUILD_DIR). Usage: scripts/setup.sh [extra cmake arguments]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/packages.sh run
[ -z "${SERVALO_DRY_RUN:-}" ] || exit 0

BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)"
