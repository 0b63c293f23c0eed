#!/usr/bin/env bash
# Sets up, builds and starts Servalo.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
exec build/servalo
