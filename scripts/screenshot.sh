#!/usr/bin/env bash
# A screenshot of Kinemo's main window as a user sees it: a real X server, a window
# manager that draws the title bar, and the Japanese fonts.
# Usage: scripts/screenshot.sh <kinemo binary> <output.png> [kinemo arguments...]
# e.g.   scripts/screenshot.sh build/kinemo docs/screenshots/main.png --simulate
set -euo pipefail
binary=$1; output=$2; shift 2
SCREEN_SIZE=1024x640
source "$(dirname "$0")/x-session.sh"
QT_QPA_PLATFORM=xcb "$binary" "$@" >"$work/kinemo.log" 2>&1 &
pids+=($!)
id=$(timeout 20 xdotool search --sync --onlyvisible --name '^Kinemo  ' | head -n 1)
sleep "${SCREENSHOT_DELAY:-4}"
echo "title: $(xdotool getwindowname "$id")"
shot "$id" "$output"
