#!/usr/bin/env bash
# Second test step: builds the core tests with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-asan/ (or $LQ_ASAN_BUILD_DIR), without the desktop program, and runs them.
# Any memory error, leak or undefined behaviour fails the step. Then the window tests that
# start runs under ThreadSanitizer (below).
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

# Then the window tests that start runs, under ThreadSanitizer in build-tsan/ (or
# $LQ_TSAN_BUILD_DIR): a run's worker and the window must share nothing unguarded. Any
# data race fails the step. Qt's own libraries are not instrumented: what they allocate and
# free among their own threads (thread pools, queued events) is not tracked
# (ignore_noninstrumented_modules), and nothing of ours is suppressed.
tsan_dir=${LQ_TSAN_BUILD_DIR:-build-tsan}
tsan_tests=(tst_batch_run tst_batch_preview tst_panel_windows tst_panels tst_main_window
  tst_edit_commands)
if [ ! -f "$tsan_dir/build.ninja" ]; then
  cmake -S . -B "$tsan_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLEXOQUILL_SANITIZE=thread \
    -DCMAKE_CXX_FLAGS="-O1" -DCMAKE_C_FLAGS="-O1" >/dev/null
fi
cmake --build "$tsan_dir" --target "${tsan_tests[@]}"
mkdir -p "$tsan_dir/xdg-runtime" && chmod 700 "$tsan_dir/xdg-runtime"
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:exitcode=66:ignore_noninstrumented_modules=1}
for t in "${tsan_tests[@]}"; do
  QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$PWD/$tsan_dir/xdg-runtime" \
    XDG_DATA_HOME="$PWD/$tsan_dir/xdg-data" LEXOQUILL_TEST=1 "$tsan_dir/tests/$t" -silent
done
