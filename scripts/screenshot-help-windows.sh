#!/bin/bash
# Screenshots of the About window and the axis window as a user sees them: a real
# X server (Xvfb), a window manager that draws the title bars (openbox), and the
# Japanese fonts. Writes docs/screenshots/about.png and docs/screenshots/axis.png.
# Usage: scripts/screenshot-help-windows.sh [build directory]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
out="$root/docs/screenshots"
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja
cmake --build "$build" --target kinemo_show_help_windows -j2
show="$build/tests/ui/help/kinemo_show_help_windows"
source "$root/scripts/x-session.sh"

# window <argument> <window title> <file>
window() {
  QT_QPA_PLATFORM=xcb "$show" "$1" >"$work/$1.log" 2>&1 &
  local pid=$!
  local id
  id=$(timeout 20 xdotool search --sync --onlyvisible --name "^$2\$" | head -n1)
  sleep 1  # let the window manager frame it and Qt paint it
  shot "$id" "$3"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

mkdir -p "$out"
window about "Kinemoのﾊﾞｰｼﾞｮﾝ情報" "$out/about.png"
window axis "３軸の方向" "$out/axis.png"
