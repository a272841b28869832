#!/usr/bin/env bash
# Runs the operator console. Installs missing packages and builds first.
#
#   scripts/run.sh                     simulated server with sample data on a loopback address of its own
#   scripts/run.sh -serverip A.B.C.D -user NAME -password PASS [-max 0|1]
#                                      a real management server (port from config.ini)
#   scripts/run.sh --no-build [...]    the same with what is built already, no package check
#
# The build folder is build/ unless BUILD_DIR says otherwise (absolute, or relative to
# the project's folder), ZN_JOBS=N builds with N jobs (default: every processor).
# Without a display the console runs under xvfb-run.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
USAGE='usage: scripts/run.sh [--no-build] [-serverip A.B.C.D] [-user NAME] [-password PASS] [-max 0|1]'
# shellcheck source=usage.sh
. scripts/usage.sh
# Only the console's own options go through to it, each with its value; the
# console reads an option followed by nothing, by an empty text or by another
# option as empty. A value may not begin with "-": the console would take it for
# an option, and a refusal that named it would print the password.
args=("$@")
[ "${args[0]:-}" = --no-build ] && args=("${args[@]:1}")
for ((i = 0; i < ${#args[@]}; i++)); do
  case ${args[i]} in
    --help | -h) usage_help ;;
    -serverip | -user | -password | -max)
      if [ $((i + 1)) -lt ${#args[@]} ]; then
        case ${args[i + 1]} in
          -serverip | -user | -password | -max | --help | -h) ;;
          -*) usage_refuse "the value of ${args[i]} may not begin with '-'" ;;
          *) i=$((i + 1)) ;;
        esac
      fi
      ;;
    *) usage_refuse "unknown argument '${args[i]}'" ;;
  esac
done
BUILD_DIR=${BUILD_DIR:-build}
case $BUILD_DIR in
  /*) ;;
  *) BUILD_DIR=$ROOT/$BUILD_DIR ;;
esac
if [ "${1:-}" = --no-build ]; then
  shift
else
  # shellcheck source=jobs.sh
  . scripts/jobs.sh
  scripts/deps.sh
  cmake -S . -B "$BUILD_DIR" >/dev/null
  cmake --build "$BUILD_DIR" -j"$ZN_JOBS" --target talkback_console zn_simulator translations disk_images
fi

BIN="$BUILD_DIR/bin"
RUN_DIR="$BIN"
ARGS=("$@")
SIM_PID=
DEMO_TMP=
DB_DIR=
# shellcheck source=logdb.sh
. "$ROOT/scripts/logdb.sh"

# The demo takes away all it made: simulator, its file service's folders, the log
# database and its files. Also on Ctrl-C, which reaches the whole process group.
# Once begun the clean-up runs to its end: a second Ctrl-C (or a signal forwarded
# again by a supervisor) is ignored by it and by the programs it starts, so that
# it never leaves the database running or its folders behind.
cleanup() {
  trap '' INT TERM HUP
  trap - EXIT
  if [ -n "$SIM_PID" ]; then
    kill "$SIM_PID" 2>/dev/null || true
    wait "$SIM_PID" 2>/dev/null || true
  fi
  if [ -n "$DB_DIR" ]; then logdb_stop "$DB_DIR"; fi
  if [ -n "$DEMO_TMP" ]; then rm -rf "$DEMO_TMP"; fi
}
# The signal is ignored from the first moment: a second one could otherwise end
# the shell before the clean-up has ignored it itself.
stop_on() {
  trap '' INT TERM HUP
  exit "$1"
}
trap cleanup EXIT
trap 'stop_on 130' INT
trap 'stop_on 143' TERM
trap 'stop_on 129' HUP

has_serverip=no
for a in "$@"; do [ "$a" = "-serverip" ] && has_serverip=yes; done

# Starts the simulator on ADDR with its file service on 8906 there, the port the
# console dials on the server's address. 0 when both listen, 1 when either is taken.
start_simulator() {
  local addr=$1 i
  : >"$SIM_LOG"
  TMPDIR="$DEMO_TMP" "$BIN/zn_simulator" --host "$addr" --port 0 --file-port 8906 --push-changes \
    --alarm-every 20 "${LOG_HOST[@]}" >"$SIM_LOG" 2>&1 &
  SIM_PID=$!
  for i in $(seq 1 100); do
    if grep -q 'file service on\|no file service\|cannot listen' "$SIM_LOG"; then break; fi
    kill -0 "$SIM_PID" 2>/dev/null || break
    sleep 0.1
  done
  if grep -q 'file service on' "$SIM_LOG"; then return 0; fi
  kill "$SIM_PID" 2>/dev/null || true
  wait "$SIM_PID" 2>/dev/null || true
  SIM_PID=
  return 1
}

if [ "$has_serverip" = no ]; then
  # Demo: the simulator's sample data, in a folder of its own so that the
  # operator's config.ini beside the program is left alone.
  RUN_DIR="$BUILD_DIR/demo"
  mkdir -p "$RUN_DIR"
  ln -sfn "$BIN/images" "$RUN_DIR/images"
  ln -sfn "$BIN/translate" "$RUN_DIR/translate"
  DEMO_TMP=$(mktemp -d "${TMPDIR:-/tmp}/zn-demo.XXXXXX")
  SIM_LOG="$RUN_DIR/simulator.log"

  # The log pages read a talk-log database of their own, when a MariaDB server is there.
  LOG_HOST=()
  DB_SETTINGS=
  if command -v mariadbd >/dev/null 2>&1 || [ -x /usr/sbin/mariadbd ]; then
    DB_DIR="$DEMO_TMP/logdb"
    if logdb_start "$DB_DIR" "$DEMO_TMP/logdb.out"; then
      db_port=$(cat "$DB_DIR/port")
      LOG_HOST=(--log-host "127.0.0.1:$db_port")
      # Board type 4 makes the console take the database port from MySqlPort.
      DB_SETTINGS=$(printf 'BoardType=4\nMySqlPort=%s\n' "$db_port")
      echo "talk-log database on 127.0.0.1:$db_port"
    else
      echo "no talk-log database (the log pages stay empty):" >&2
      tail -n 5 "$DEMO_TMP/logdb.out" >&2
    fi
  else
    echo "no MariaDB server installed: the log pages stay empty and cannot export" >&2
  fi

  # A loopback address of the demo's own, so that it never reaches another
  # program's file service on 127.0.0.1:8906, nor another demo's.
  addr=
  for _ in $(seq 1 20); do
    try=127.$((RANDOM % 254 + 1)).$((RANDOM % 256)).$((RANDOM % 254 + 1))
    if start_simulator "$try"; then addr=$try; break; fi
  done
  if [ -z "$addr" ]; then
    echo "the simulator found no loopback address with port 8906 free (is a program listening on *:8906?):" >&2
    cat "$SIM_LOG" >&2
    exit 1
  fi
  port=$(sed -n 's/.*listening on [0-9.]*:\([0-9][0-9]*\).*/\1/p' "$SIM_LOG")
  printf '[Setting]\nServerIp=%s\nServerPort=%s\nUser=admin\n%s\n' "$addr" "$port" "$DB_SETTINGS" >"$RUN_DIR/config.ini"
  ARGS=(-serverip "$addr" -user admin -password admin "$@")
  echo "simulated management server on $addr:$port (user admin, password admin)"
  grep 'file service' "$SIM_LOG" || true
fi

cd "$RUN_DIR"
rc=0
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
  # xvfb-run leaves its folder in TMPDIR when Ctrl-C ends it: in the demo that folder
  # is made in the demo's own, which the clean-up takes away.
  TMPDIR=${DEMO_TMP:-${TMPDIR:-/tmp}} xvfb-run -a -s '-screen 0 1280x800x24' "$BIN/talkback_console" "${ARGS[@]}" \
    || rc=$?
else
  "$BIN/talkback_console" "${ARGS[@]}" || rc=$?
fi
exit "$rc"
