#!/usr/bin/env bash
# Installs the Debian packages that the console, its tests and benchmarks need.
# With --update the package lists are refreshed first even when nothing is missing.
set -euo pipefail
USAGE='usage: scripts/deps.sh [--update]'
# shellcheck source=usage.sh
. "$(dirname "$0")/usage.sh"
UPDATE=no
for arg in "$@"; do
  case $arg in
    --help | -h) usage_help ;;
    --update) UPDATE=yes ;;
    *) usage_refuse "unknown argument '$arg'" ;;
  esac
done
PKGS=(
  build-essential cmake pkg-config
  qtbase5-dev qttools5-dev qttools5-dev-tools qttranslations5-l10n
  libjsoncpp-dev libsimdjson-dev libtinyxml-dev libmariadb-dev libbenchmark-dev
  mariadb-server lame
  xvfb xauth python3 fonts-wqy-zenhei libxcb1-dev libfuse3-dev
)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
SUDO=
[ "$(id -u)" -ne 0 ] && SUDO=sudo
if [ "$UPDATE" = yes ] || [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi
