#!/bin/sh
# Regenerates the icon files in ui/icons/ and the axis picture in ui/images/.
# Usage: scripts/draw-art.sh [build directory]   (default: build)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja
cmake --build "$build" --target kinemo_draw_art -j2
QT_QPA_PLATFORM=offscreen "$build/ui/kinemo_draw_art" "$root"
ls -l "$root"/ui/icons "$root"/ui/images
