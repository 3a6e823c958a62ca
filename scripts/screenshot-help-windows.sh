#!/bin/bash
# Screenshots of the About window and the axis window as a user sees them: the
# program on the simulated remote under a real X server (Xvfb), a window manager that
# draws the title bars (openbox), and the Japanese fonts; each window opened from the
# ヘルプ menu. Writes docs/screenshots/about.png and docs/screenshots/axis.png.
# Usage: scripts/screenshot-help-windows.sh [build directory]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
out="$root/docs/screenshots"
source "$root/scripts/x-session.sh"

start_kinemo "$build" --simulate --no-log
main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Kinemo  ' | head -n1)
sleep 1

# window <items down the ヘルプ menu> <window title> <file>
window() {
  xdotool windowactivate --sync "$main" 2>/dev/null || true
  xdotool mousemove --window "$main" 215 8 click 1
  sleep 0.5
  xdotool key --repeat "$1" Down
  xdotool key Return
  local id
  id=$(timeout 20 xdotool search --sync --onlyvisible --name "^$2\$" | head -n1)
  sleep 1  # let the window manager frame it and Qt paint it
  shot "$id" "$3"
  xdotool windowclose "$id"
}

mkdir -p "$out"
window 2 "Kinemoのﾊﾞｰｼﾞｮﾝ情報" "$out/about.png"
window 1 "３軸の方向" "$out/axis.png"
