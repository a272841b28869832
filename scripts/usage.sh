# shellcheck shell=bash
# The scripts' answer to --help and to an argument they do not take, given
# before they install, build or run anything. A script sets USAGE (its usage,
# the first line "usage: scripts/NAME ...") and sources this file.

# usage_help: the usage on standard output; exit 0.
usage_help() {
  printf '%s\n' "$USAGE"
  exit 0
}

# usage_refuse WHY: what is wrong and the usage on standard error; exit 2.
usage_refuse() {
  printf '%s: %s\n%s\n' "${0##*/}" "$1" "$USAGE" >&2
  exit 2
}
