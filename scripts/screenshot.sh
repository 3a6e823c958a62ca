#!/usr/bin/env bash
# Takes a screenshot of Kinemo's main window under a virtual X server.
# Usage: scripts/screenshot.sh <kinemo binary> <output.png> [kinemo arguments...]
set -euo pipefail
binary=$1; output=$2; shift 2
display=:$(( 90 + RANDOM % 100 ))
Xvfb "$display" -screen 0 1024x640x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$app" 2>/dev/null || true; kill "$xvfb" 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display QT_QPA_PLATFORM=xcb "$binary" "$@" &
app=$!
for _ in $(seq 50); do
  DISPLAY=$display xdotool search --name '^Kinemo' >/dev/null 2>&1 && break
  sleep 0.2
done
sleep "${SCREENSHOT_DELAY:-3}"
window=$(DISPLAY=$display xdotool search --name '^Kinemo' | head -n 1)
DISPLAY=$display import -window "$window" -frame "$output" 2>/dev/null || DISPLAY=$display import -window root "$output"
echo "wrote $output"
