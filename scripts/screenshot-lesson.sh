#!/usr/bin/env bash
# The pictures of the first lesson (docs/ja/first-lesson.md), taken from the real
# program on the simulated remote: a virtual X server (Xvfb), a window manager that
# draws the title bars (openbox), the mouse and keyboard driven by xdotool. Run it
# again whenever the windows change; it rewrites docs/ja/images/lesson-*.png.
# Usage: scripts/screenshot-lesson.sh [build directory]   (default: build)
# LESSON_RUN_COPY=<file> keeps a copy of the run the lesson saves.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
out="$root/docs/ja/images"
SCREEN_SIZE=1024x700
source "$root/scripts/x-session.sh"
mkdir -p "$out"

# The program's day log and the saved run go into the scratch folder, never into the
# user's own. The save dialog opens in the folder the program was started from: a
# mount namespace of the program's own shows the scratch folder there as
# /home/sensei, as on a teacher's computer, not as a path under /tmp.
export XDG_STATE_HOME="$work/state"
saved="$work/sensei"
mkdir -p "$saved"
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target kinemo -j2 >/dev/null
QT_QPA_PLATFORM=xcb unshare --mount --map-root-user sh -c \
  'mount -t tmpfs none /home && mkdir /home/sensei && mount --bind "$1" /home/sensei &&
   cd /home/sensei && HOME=/home/sensei exec "$2" --simulate' sh "$saved" "$build/kinemo" >"$work/kinemo.log" 2>&1 &
pids+=($!)
id=$(timeout 20 xdotool search --sync --onlyvisible --name '^Kinemo  ' | head -n 1)
xdotool windowactivate --sync "$id" 2>/dev/null || true

# Positions inside the window (below the title bar): the menu bar is 18 pixels high
# and the controls lie where ui/MainWindow.cpp puts them, 18 pixels further down.
click() { xdotool mousemove --window "$id" "$1" "$2" click 1; sleep "${3:-1}"; }
menu_file=(30 8) menu_record=(77 8) menu_view=(115 8)
calibrate_button=(656 318)

# strip_changes: whether the status strip (text and sample counter) still changes.
strip() { import -window "$id" -crop 505x33+40+346 +repage rgb:- 2>/dev/null | md5sum; }
wait_for_run_end() {
  local before now same=0
  before=$(strip)
  for _ in $(seq 1 120); do
    sleep 1
    now=$(strip)
    if [ "$now" = "$before" ]; then same=$((same + 1)); else same=0; fi
    before=$now
    [ $same -ge 3 ] && return 0
  done
  echo "the recording run did not end within two minutes" >&2
  exit 1
}

sleep 6  # the trace sweeps across most of the plot
shot "$id" "$out/lesson-1-live.png"

click "${calibrate_button[@]}" 8
shot "$id" "$out/lesson-2-recording.png"

wait_for_run_end
shot "$id" "$out/lesson-3-finished.png"

# 記録 ▸ 記録のモード, opened to show the two modes.
click "${menu_record[@]}" 0.5
xdotool key Down Right
sleep 1
shot "$id" "$out/lesson-4-modes.png"
xdotool key Escape Escape Escape
sleep 0.5

# 表示 ▸ 記録された加速度データの表示: the viewer at the start of the run.
click "${menu_view[@]}" 0.5
xdotool key Down Return
sleep 1.5
shot "$id" "$out/lesson-5-viewer.png"

# The scroll bar's thumb, dragged from the right end to the middle.
xdotool mousemove --window "$id" 518 354 mousedown 1
sleep 0.3
xdotool mousemove --window "$id" 400 354
sleep 0.3
xdotool mousemove --window "$id" 290 354 mouseup 1
sleep 1.5
shot "$id" "$out/lesson-6-scrolled.png"

# ファイル ▸ データの保存, a name typed in full (the program adds no extension).
click "${menu_file[@]}" 0.5
xdotool key Down Down Return
sleep 2
dialog=$(xdotool getactivewindow)
xdotool type --delay 80 "furiko1.csv"
sleep 1
shot "$dialog" "$out/lesson-7-save.png"
xdotool key Return
sleep 2
[ -f "$saved/furiko1.csv" ] || { echo "the run was not saved to /home/sensei/furiko1.csv" >&2; exit 1; }
# The saved run, for checking the lesson's formulas against it.
cp "$saved/furiko1.csv" "${LESSON_RUN_COPY:-/dev/null}"
ls -l "$out"
