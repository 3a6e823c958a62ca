#!/usr/bin/env bash
# A screenshot of Kinemo's main window as a user sees it: a real X server (Xvfb), a
# window manager that draws the title bar (openbox) and the Japanese fonts.
# Usage: scripts/screenshot.sh <kinemo binary> <output.png> [kinemo arguments...]
# e.g.   scripts/screenshot.sh build/kinemo docs/screenshots/main.png --simulate
set -euo pipefail
binary=$1; output=$2; shift 2
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -screen 0 1024x640x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
read -r -t 10 display <&"$displayfd"
export DISPLAY=":$display"
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1
QT_QPA_PLATFORM=xcb "$binary" "$@" >"$work/kinemo.log" 2>&1 &
pids+=($!)
id=$(timeout 20 xdotool search --sync --onlyvisible --name '^Kinemo  ' | head -n 1)
sleep "${SCREENSHOT_DELAY:-4}"
echo "title: $(xdotool getwindowname "$id")"
import -window root "$work/screen.png"
# Cut out the window with its frame.
frame=$(xwininfo -id "$(xwininfo -id "$id" -children | awk '/Parent window id/ {print $4}')" 2>/dev/null || true)
read -r X Y W H < <(awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} /^ *Width:/ {w=$NF} /^ *Height:/ {h=$NF} END {print x, y, w, h}' <<<"$frame")
if [ -n "${W:-}" ] && [ "$W" -gt 0 ]; then
  convert "$work/screen.png" -crop "${W}x${H}+${X}+${Y}" +repage "$output"
else
  cp "$work/screen.png" "$output"
fi
echo "wrote $output"
