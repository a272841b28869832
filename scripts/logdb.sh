# The demo's throwaway talk-log database (tests/core/mariadb.sh with the demo's
# calls and recordings). Sourced by run.sh and screenshots.sh, which set ROOT.
#
# The start runs in the background, and the caller waits for it with `wait`, which
# a Ctrl-C ends at once, so that the caller's INT trap runs. Waited for in the
# foreground, an interrupt that came while mariadb.sh ran a program of another
# process group (the one `timeout` makes) would be taken by bash as handled by that
# program, and the demo would go on. The start itself ignores the interrupt and
# runs to its end: cut short, it could leave a server that no one stops. The
# clean-up lets it end first.

LOGDB_STARTING=

# logdb_start DIR OUT: a fresh server with its data in DIR and the demo's rows
# loaded; what it says goes to OUT. 0 once it is up.
logdb_start() {
  LOGDB_STARTING=yes
  (
    trap '' INT
    "$ROOT/tests/core/mariadb.sh" start "$1" \
      && "$ROOT/tests/core/mariadb.sh" sql "$1" <"$ROOT/tests/sim/data/demo_logs.sql"
  ) >"$2" 2>&1 &
  local rc=0
  wait "$!" || rc=$?
  LOGDB_STARTING=
  return "$rc"
}

# logdb_stop DIR, in the clean-up: a start under way ends first; then the server stops.
logdb_stop() {
  if [ -n "$LOGDB_STARTING" ]; then
    echo "stopping: the talk-log database finishes its start first" >&2
    wait || true
  fi
  "$ROOT/tests/core/mariadb.sh" stop "$1" >/dev/null 2>&1 || true
}
