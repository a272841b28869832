#!/usr/bin/env bash
# Pictures of every page and every dialog of the demo console, taken under Xvfb
# at two screen sizes, with the log pages read from a throwaway talk-log database.
#
#   scripts/screenshots.sh [FOLDER]     default build/gallery/; one folder per size
#
# ZN_JOBS=N builds with N jobs (default: every processor).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
USAGE='usage: scripts/screenshots.sh [FOLDER]'
# shellcheck source=usage.sh
. scripts/usage.sh
case $# in
  0) ;;
  1)
    case $1 in
      --help | -h) usage_help ;;
      # A folder so named is given as ./-name.
      -*) usage_refuse "unknown option '$1'" ;;
    esac
    ;;
  *) usage_refuse "one folder at most, not $#" ;;
esac
# shellcheck source=jobs.sh
. scripts/jobs.sh
scripts/deps.sh
BUILD_DIR=${BUILD_DIR:-build}
case $BUILD_DIR in
  /*) ;;
  *) BUILD_DIR=$ROOT/$BUILD_DIR ;;
esac
OUT=${1:-$BUILD_DIR/gallery}
SIZES=(1366x768 1920x1080)
cmake -S . -B "$BUILD_DIR" >/dev/null
cmake --build "$BUILD_DIR" -j"$ZN_JOBS" --target zn_gallery translations disk_images
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)

# shellcheck source=logdb.sh
. "$ROOT/scripts/logdb.sh"
DB_DIR=$(mktemp -d "${TMPDIR:-/tmp}/zn-gallery-db.XXXXXX")
# Once begun the clean-up runs to its end: a second Ctrl-C would leave the
# database running. Each signal is ignored from the first one on.
cleanup() {
  trap '' INT TERM HUP
  trap - EXIT
  logdb_stop "$DB_DIR"
  rm -rf "$DB_DIR"
}
stop_on() {
  trap '' INT TERM HUP
  exit "$1"
}
trap cleanup EXIT
trap 'stop_on 130' INT
trap 'stop_on 143' TERM
trap 'stop_on 129' HUP

DB_ARGS=()
if logdb_start "$DB_DIR" "$DB_DIR/start.out"; then
  DB_ARGS=(--log-db "$(cat "$DB_DIR/port")")
else
  echo "no talk-log database: the log pages show the server's few rows" >&2
  tail -n 5 "$DB_DIR/start.out" >&2 || true
fi

cd "$BUILD_DIR/bin"
for size in "${SIZES[@]}"; do
  mkdir -p "$OUT/$size"
  rm -f "$OUT/$size"/*.png
  # xvfb-run leaves its folder in TMPDIR when Ctrl-C ends it: here it is made in
  # the private folder the clean-up takes away.
  TMPDIR=$DB_DIR xvfb-run -a -s "-screen 0 ${size}x24" ./zn_gallery "$OUT/$size" "${DB_ARGS[@]}" >/dev/null
  echo "$(ls "$OUT/$size"/*.png | wc -l) pictures in $OUT/$size"
done
