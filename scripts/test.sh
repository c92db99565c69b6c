#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through CTest; then, as a
# second step, the core tests again under AddressSanitizer and UndefinedBehaviorSanitizer and
# the window tests that start runs under ThreadSanitizer (scripts/test-sanitize.sh, in build
# directories of their own). LQ_SANITIZE=0 skips that step.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh
build_dir=${LQ_BUILD_DIR:-build}
mkdir -p "$build_dir/xdg-runtime" && chmod 700 "$build_dir/xdg-runtime"
(cd "$build_dir" && ctest --output-on-failure -j "$(nproc)")
if [ "${LQ_SANITIZE:-1}" != 0 ]; then
  ./scripts/test-sanitize.sh
fi
