#!/usr/bin/env bash
# Configures (once) and builds into build/ (or $LQ_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${LQ_BUILD_DIR:-build}
if [ ! -f "$build_dir/build.ninja" ]; then
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
fi
cmake --build "$build_dir"
