#!/usr/bin/env bash
# Runs the operator console. Installs missing packages and builds first.
#
#   scripts/run.sh                     simulated server with sample data on 127.0.0.1
#   scripts/run.sh -serverip A.B.C.D -user NAME -password PASS [-max 0|1]
#                                      a real management server (port from config.ini)
#
# Without a display the console runs under xvfb-run.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
scripts/deps.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target talkback_console zn_simulator translations disk_images

BIN="$ROOT/$BUILD_DIR/bin"
RUN_DIR="$BIN"
ARGS=("$@")
SIM_PID=

cleanup() {
  if [ -n "$SIM_PID" ]; then kill "$SIM_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT

has_serverip=no
for a in "$@"; do [ "$a" = "-serverip" ] && has_serverip=yes; done

if [ "$has_serverip" = no ]; then
  # Demo: the simulator's sample data, in a folder of its own so that the
  # operator's config.ini beside the program is left alone.
  RUN_DIR="$ROOT/$BUILD_DIR/demo"
  mkdir -p "$RUN_DIR"
  ln -sfn "$BIN/images" "$RUN_DIR/images"
  ln -sfn "$BIN/translate" "$RUN_DIR/translate"
  SIM_LOG="$RUN_DIR/simulator.log"
  "$BIN/zn_simulator" --port 0 --push-changes --alarm-every 20 >"$SIM_LOG" 2>&1 &
  SIM_PID=$!
  port=
  for _ in $(seq 1 50); do
    port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9][0-9]*\).*/\1/p' "$SIM_LOG")
    [ -n "$port" ] && break
    sleep 0.1
  done
  if [ -z "$port" ]; then
    echo "the simulator did not start:" >&2
    cat "$SIM_LOG" >&2
    exit 1
  fi
  printf '[Setting]\nServerIp=127.0.0.1\nServerPort=%s\nUser=admin\n' "$port" >"$RUN_DIR/config.ini"
  ARGS=(-serverip 127.0.0.1 -user admin -password admin "$@")
  echo "simulated management server on 127.0.0.1:$port (user admin, password admin)"
  grep 'file service\|no file service' "$SIM_LOG" || true
fi

cd "$RUN_DIR"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
  xvfb-run -a -s '-screen 0 1280x800x24' "$BIN/talkback_console" "${ARGS[@]}"
else
  "$BIN/talkback_console" "${ARGS[@]}"
fi
