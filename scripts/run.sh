#!/usr/bin/env bash
# Sets up, builds and starts Servalo. SERVALO_DRY_RUN=1 only lists the
# packages it would install.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
[ -z "${SERVALO_DRY_RUN:-}" ] || exit 0
exec build/servalo
