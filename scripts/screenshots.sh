#!/usr/bin/env bash
# One PNG of every page and every dialog of the demo console, taken under Xvfb.
#
#   scripts/screenshots.sh [FOLDER]     default build/gallery/
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
scripts/deps.sh
BUILD_DIR=${BUILD_DIR:-build}
OUT=${1:-$BUILD_DIR/gallery}
cmake -S . -B "$BUILD_DIR" >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target zn_gallery translations disk_images
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
rm -f "$OUT"/*.png
cd "$ROOT/$BUILD_DIR/bin"
xvfb-run -a -s '-screen 0 1280x800x24' ./zn_gallery "$OUT"
echo "$(ls "$OUT"/*.png | wc -l) pictures in $OUT"
