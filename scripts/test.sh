#!/usr/bin/env bash
# Builds everything and runs the whole test suite (ctest). Installs missing packages first.
#
#   scripts/test.sh              into build/
#   scripts/test.sh --sanitize   with AddressSanitizer and UndefinedBehaviorSanitizer, into build-sanitize/
#
# ZN_JOBS=N builds and tests with N jobs at a time (default: every processor).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
USAGE='usage: scripts/test.sh [--sanitize]'
# shellcheck source=usage.sh
. scripts/usage.sh
SANITIZE=no
for arg in "$@"; do
  case $arg in
    --help | -h) usage_help ;;
    --sanitize) SANITIZE=yes ;;
    *) usage_refuse "unknown argument '$arg'" ;;
  esac
done
# shellcheck source=jobs.sh
. scripts/jobs.sh
scripts/deps.sh
OPTS=(-DZN_WERROR=ON)
if [ "$SANITIZE" = yes ]; then
  BUILD_DIR=${BUILD_DIR:-build-sanitize}
  # The benchmarks are not run by the suite; leave them out of the slower build.
  OPTS+=(-DZN_SANITIZE=ON -DZN_BENCH=OFF)
  # Leaks inside Qt's own plugins are reported from outside the project: suppressed.
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=0}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
  export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$ROOT/.ci/lsan-qt.supp:print_suppressions=0}
fi
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" "${OPTS[@]}"
cmake --build "$BUILD_DIR" -j"$ZN_JOBS"
cd "$BUILD_DIR"
ctest --output-on-failure -j"$ZN_JOBS" --timeout 600
