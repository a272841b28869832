#!/usr/bin/env bash
# Ctrl-C twice at the demo of scripts/run.sh, the second while the clean-up of the
# first runs (0.05 s and 0.3 s later): the demo's simulator and MariaDB server are
# gone and nothing is left in the TMPDIR it was given.
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

interrupted_twice() {
  local gap=$1 dir=$WORK/$2 line up=no pid rc drain left
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
  left=$(demo_processes "$dir")
  if [ -n "$left" ]; then
    echo "FAIL ($2): still running after the demo ended:"
    ps -o pid=,args= -p "$(echo $left | tr ' ' ,)"
    failed=1
  fi
  take_away "$dir"
  left=$(find "$dir/tmp" -mindepth 1 -maxdepth 1)
  if [ -n "$left" ]; then
    echo "FAIL ($2): left in its TMPDIR:"
    echo "$left"
    failed=1
  fi
  [ "$failed" -eq 0 ] && echo "ok ($2): nothing left"
}

interrupted_twice 0.05 quick
interrupted_twice 0.3 slow
exit "$failed"
