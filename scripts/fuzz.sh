#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 60),
# FUZZ_JOBS (default 3) at a time; names after SECONDS pick the targets to run.
# Inputs that crash are left in build-fuzz/artifacts/; the growing corpus in
# build-fuzz/corpus/ starts from the seeds in tests/fuzz/corpus/. The build runs
# ZN_JOBS jobs at a time (default 4: the instrumented build is heavy).
set -euo pipefail
cd "$(dirname "$0")/.."
USAGE='usage: scripts/fuzz.sh [SECONDS [TARGET...]]   (targets: the fuzz_*.cpp of tests/fuzz/, without .cpp)'
# shellcheck source=usage.sh
. scripts/usage.sh
for arg in "$@"; do
  case $arg in --help | -h) usage_help ;; esac
done
if [ $# -gt 0 ]; then
  # libFuzzer runs for ever with a time of 0.
  case $1 in
    '' | *[!0-9]*) usage_refuse "not a number of seconds: '$1'" ;;
  esac
  [ "$((10#$1))" -gt 0 ] || usage_refuse "not a number of seconds from 1 up: '$1'"
fi
for arg in "${@:2}"; do
  [[ $arg == fuzz_* && $arg != */* && -f tests/fuzz/$arg.cpp ]] || usage_refuse "no fuzz target '$arg'"
done
SECONDS_EACH=${1:-60}
shift || true
JOBS=${FUZZ_JOBS:-3}
BUILD_DIR=${FUZZ_BUILD_DIR:-build-fuzz}
ZN_JOBS=${ZN_JOBS:-4}
# shellcheck source=jobs.sh
. scripts/jobs.sh
scripts/deps.sh
if ! command -v clang++ >/dev/null ||
   ! compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null; then
  SUDO=
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
    clang libclang-rt-14-dev
fi
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -DZN_FUZZ=ON -DZN_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for src in tests/fuzz/fuzz_*.cpp; do
    targets+=("$(basename "$src" .cpp)")
  done
fi
cmake --build "$BUILD_DIR" -j"$ZN_JOBS" --target "${targets[@]}"
mkdir -p "$BUILD_DIR/artifacts"
# Each target alone on a core, JOBS of them at a time.
run_one() {
  local t=$1 corpus="$BUILD_DIR/corpus/$1" rc=0
  rm -f "$BUILD_DIR/$t.rc"
  mkdir -p "$corpus"
  "$BUILD_DIR/bin/$t" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$BUILD_DIR/artifacts/$t-" -print_final_stats=1 \
    "$corpus" "tests/fuzz/corpus/$t" >"$BUILD_DIR/$t.log" 2>&1 || rc=$?
  echo "$rc" >"$BUILD_DIR/$t.rc"
}
echo "== ${#targets[@]} targets for ${SECONDS_EACH}s each, $JOBS at a time"
for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$JOBS" ]; do
    wait -n || true
  done
  run_one "$t" &
done
wait
status=0
for t in "${targets[@]}"; do
  rc=$(cat "$BUILD_DIR/$t.rc" 2>/dev/null || echo 1)
  execs=$(grep -E '^stat::number_of_executed_units' "$BUILD_DIR/$t.log" | awk '{print $2}')
  printf '%-22s %12s executions' "$t" "${execs:-?}"
  if [ "$rc" -ne 0 ]; then
    printf '  FAILED (see %s and %s/artifacts/)\n' "$BUILD_DIR/$t.log" "$BUILD_DIR"
    grep -E 'ERROR:|check failed|SUMMARY:|Test unit written' "$BUILD_DIR/$t.log" | head -n 5 | sed 's/^/    /'
    status=1
  else
    echo
  fi
done
exit $status
