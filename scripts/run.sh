#!/usr/bin/env bash
# Installs what is missing, builds when needed and starts the desktop program.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh
exec "${LQ_BUILD_DIR:-build}/src/gui/lexoquill" "$@"
