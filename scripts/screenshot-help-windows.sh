#!/bin/bash
# Screenshots of the About window and the axis window as a user sees them: a real
# X server (Xvfb), a window manager that draws the title bars (openbox), and the
# Japanese fonts. Writes docs/screenshots/about.png and docs/screenshots/axis.png.
# Usage: scripts/screenshot-help-windows.sh [build directory]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
out="$root/docs/screenshots"
for tool in Xvfb xdotool xprop xwininfo import convert openbox; do
  command -v "$tool" >/dev/null || { echo "missing $tool (see scripts/packages/packaging.txt)" >&2; exit 1; }
done
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja
cmake --build "$build" --target kinemo_show_help_windows -j2
show="$build/tests/ui/help/kinemo_show_help_windows"
work=$(mktemp -d)

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number to the descriptor.
exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
read -r -t 10 display <&"$displayfd"
export DISPLAY=":$display"
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1

# shot <argument> <window title> <file>
shot() {
  QT_QPA_PLATFORM=xcb "$show" "$1" >"$work/$1.log" 2>&1 &
  local pid=$!
  local id
  id=$(timeout 20 xdotool search --sync --onlyvisible --name "^$2\$" | head -n1)
  sleep 1  # let the window manager frame it and Qt paint it
  # The client area's place on the screen and its size.
  local info X Y WIDTH HEIGHT
  info=$(xwininfo -id "$id")
  X=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
  Y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
  WIDTH=$(awk '/^ *Width:/ {print $NF}' <<<"$info")
  HEIGHT=$(awk '/^ *Height:/ {print $NF}' <<<"$info")
  local left=0 right=0 top=0 bottom=0
  if extents=$(xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null) && [[ $extents == *=* ]]; then
    IFS=', ' read -r left right top bottom <<<"${extents#*= }"
  fi
  import -window root "$work/root.png"
  convert "$work/root.png" -crop "$((WIDTH + left + right))x$((HEIGHT + top + bottom))+$((X - left))+$((Y - top))" \
    +repage "$3"
  echo "$3: client ${WIDTH}x${HEIGHT} at ${X},${Y} on a 1024x768 screen"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

mkdir -p "$out"
shot about "Kinemoのﾊﾞｰｼﾞｮﾝ情報" "$out/about.png"
shot axis "３軸の方向" "$out/axis.png"
