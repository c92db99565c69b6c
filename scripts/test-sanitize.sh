#!/usr/bin/env bash
# Second test step: builds the core tests with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-asan/ (or $LQ_ASAN_BUILD_DIR), without the desktop program, and runs them.
# Any memory error, leak or undefined behaviour fails the step.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${LQ_ASAN_BUILD_DIR:-build-asan}
if [ ! -f "$build_dir/build.ninja" ]; then
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLEXOQUILL_BUILD_GUI=OFF \
    -DLEXOQUILL_SANITIZE=ON -DCMAKE_CXX_FLAGS="-O1" -DCMAKE_C_FLAGS="-O1" >/dev/null
fi
cmake --build "$build_dir" --target core_tests
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
"$build_dir/tests/core_tests" --gtest_brief=1
