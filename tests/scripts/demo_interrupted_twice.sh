#!/usr/bin/env bash
# Ctrl-C twice at the demo of scripts/run.sh, the second while the clean-up of the
# first runs (0.05 s and 0.3 s later): the demo's simulator and MariaDB server are
# gone and nothing is left in the TMPDIR it was given. The same for two Ctrl-C
# while its MariaDB server starts, where the demo also never opens the console.
#   demo_interrupted_twice.sh SOURCE_DIR BIN_DIR
set -uo pipefail
ROOT=$1 BIN=$2
if ! command -v mariadbd >/dev/null 2>&1 && [ ! -x /usr/sbin/mariadbd ]; then
  echo "no MariaDB server installed: the demo runs without its database"
  exit 77
fi
WORK=$(mktemp -d "${TMPDIR:-/tmp}/zn-demo-int.XXXXXX")
failed=0

# The processes of a demo: each names one of its folders on its command line.
demo_processes() { pgrep -f -- "$1/" || true; }

# Ends what a failed clean-up left, so that no run of this test leaves a server behind.
take_away() {
  local p i
  for p in $(demo_processes "$1"); do kill "$p" 2>/dev/null; done
  for i in $(seq 100); do
    [ -z "$(demo_processes "$1")" ] && break
    sleep 0.1
  done
  for p in $(demo_processes "$1"); do kill -9 "$p" 2>/dev/null; done
}
trap 'take_away "$WORK"; rm -rf "$WORK"' EXIT

# What a run left: processes and files in its TMPDIR. Takes them away.
check_left() {
  local dir=$1 name=$2 left
  left=$(demo_processes "$dir")
  if [ -n "$left" ]; then
    echo "FAIL ($name): still running after the demo ended:"
    ps -o pid=,args= -p "$(echo $left | tr ' ' ,)"
    failed=1
  fi
  take_away "$dir"
  left=$(find "$dir/tmp" -mindepth 1 -maxdepth 1)
  if [ -n "$left" ]; then
    echo "FAIL ($name): left in its TMPDIR:"
    echo "$left"
    failed=1
  fi
}

interrupted_twice() {
  local gap=$1 dir=$WORK/$2 line up=no pid rc drain
  mkdir -p "$dir/build" "$dir/tmp" "$dir/xdg"
  ln -s "$BIN" "$dir/build/bin"
  mkfifo "$dir/out"
  # A process group of its own, as a terminal gives it: Ctrl-C reaches the whole group.
  set -m
  BUILD_DIR=$dir/build TMPDIR=$dir/tmp XDG_RUNTIME_DIR=$dir/xdg QT_QPA_PLATFORM=offscreen \
    "$ROOT/scripts/run.sh" --no-build >"$dir/out" 2>"$dir/err" &
  pid=$!
  set +m
  exec 3<"$dir/out"
  # The demo is up (database, simulator) once it names the server; the console follows.
  while IFS= read -r line <&3; do
    echo "$line"
    case $line in "simulated management server on "*)
      up=yes
      break
      ;;
    esac
  done
  cat <&3 >"$dir/rest" &
  drain=$!
  exec 3<&-
  if [ "$up" = yes ]; then
    kill -INT -- "-$pid"
    sleep "$gap"
    kill -INT -- "-$pid"
  else
    echo "FAIL ($2): the demo did not come up"
    cat "$dir/err"
    failed=1
  fi
  wait "$pid"
  rc=$?
  wait "$drain"
  if [ "$up" = yes ] && [ "$rc" -ne 130 ]; then
    echo "FAIL ($2): the demo ended with $rc, not 130 (interrupted)"
    cat "$dir/err"
    failed=1
  fi
  check_left "$dir" "$2"
  [ "$failed" -eq 0 ] && echo "ok ($2): nothing left"
}

# Moments of the database's start, each seen in the files of the demo's folder DIR.
# Launching: the server runs and has not yet written its pid file, so that a start
# cut short here leaves it running.
at_installing() { compgen -G "$1/tmp/zn-demo.*/logdb/install.log" >/dev/null; }
at_launching() {
  compgen -G "$1/tmp/zn-demo.*/logdb/error.log" >/dev/null \
    && ! compgen -G "$1/tmp/zn-mariadb.*/mysqld.pid" >/dev/null
}
at_loading() { grep -qs "MariaDB on" "$1"/tmp/zn-demo.*/logdb.out; }

# 0 once the moment is there, 1 when the demo ended first (or after a minute).
reached() {
  local dir=$1 moment=$2 pid=$3 i
  for i in $(seq 3000); do
    "at_$moment" "$dir" && return 0
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.02
  done
  return 1
}

# 0 when the demo started the console (it names the server first), 1 when it ended.
console_started() {
  local dir=$1 pid=$2 i
  for i in $(seq 1200); do
    grep -q "simulated management server on " "$dir/out" && return 0
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}

interrupted_while_starting() {
  local first=$1 second=$2 name=$3 dir=$WORK/$3 pid rc moment
  mkdir -p "$dir/build" "$dir/tmp" "$dir/xdg"
  ln -s "$BIN" "$dir/build/bin"
  set -m
  BUILD_DIR=$dir/build TMPDIR=$dir/tmp XDG_RUNTIME_DIR=$dir/xdg QT_QPA_PLATFORM=offscreen \
    "$ROOT/scripts/run.sh" --no-build >"$dir/out" 2>"$dir/err" &
  pid=$!
  set +m
  for moment in "$first" "$second"; do
    if [ "$moment" = "$first" ] && [ "$second" = again ]; then
      # Ctrl-C held down: one comes at every look while the moment lasts.
      if reached "$dir" "$moment" "$pid"; then
        while kill -INT -- "-$pid" 2>/dev/null && "at_$moment" "$dir"; do sleep 0.02; done
      fi
      continue
    fi
    [ "$moment" = again ] && continue
    if reached "$dir" "$moment" "$pid"; then
      kill -INT -- "-$pid"
    elif [ "$moment" = "$first" ]; then
      echo "FAIL ($name): the demo never came to $moment its database"
      cat "$dir/err"
      failed=1
    fi
  done
  if console_started "$dir" "$pid"; then
    echo "FAIL ($name): the demo went on and started the console"
    failed=1
    kill -INT -- "-$pid"
  fi
  wait "$pid"
  rc=$?
  if [ "$rc" -ne 130 ]; then
    echo "FAIL ($name): the demo ended with $rc, not 130 (interrupted)"
    cat "$dir/err"
    failed=1
  fi
  check_left "$dir" "$name"
  [ "$failed" -eq 0 ] && echo "ok ($name): nothing left, no console"
}

interrupted_twice 0.05 quick
interrupted_twice 0.3 slow
# first moment, second moment (again: Ctrl-C held down through the first), name
interrupted_while_starting installing installing twice-installing
interrupted_while_starting installing launching installing-then-launching
interrupted_while_starting launching again launching-held-down
interrupted_while_starting launching loading launching-then-loading
interrupted_while_starting loading loading twice-loading
exit "$failed"
