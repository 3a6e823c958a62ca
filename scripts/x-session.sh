# Sourced by the screenshot scripts: starts a virtual X server (Xvfb) with a window
# manager that draws title bars (openbox), and offers `shot` to cut a window out of
# the screen with its frame. Sets DISPLAY and `work` (a scratch folder); everything
# started is stopped when the calling script exits.
for tool in Xvfb openbox xdotool xprop xwininfo import convert; do
  command -v "$tool" >/dev/null || { echo "missing $tool (see scripts/packages/)" >&2; exit 1; }
done
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
Xvfb -displayfd "$displayfd" -screen 0 "${SCREEN_SIZE:-1024x768}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
read -r -t 10 display <&"$displayfd"
export DISPLAY=":$display"
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1

# shot <window id> <output.png>: the window with its frame, as the screen shows it.
shot() {
  local info X Y WIDTH HEIGHT left=0 right=0 top=0 bottom=0 extents
  info=$(xwininfo -id "$1")
  X=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
  Y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
  WIDTH=$(awk '/^ *Width:/ {print $NF}' <<<"$info")
  HEIGHT=$(awk '/^ *Height:/ {print $NF}' <<<"$info")
  if extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null) && [[ $extents == *=* ]]; then
    IFS=', ' read -r left right top bottom <<<"${extents#*= }"
  fi
  import -window root "$work/root.png"
  convert "$work/root.png" -crop "$((WIDTH + left + right))x$((HEIGHT + top + bottom))+$((X - left))+$((Y - top))" \
    +repage "$2"
  echo "$2: client ${WIDTH}x${HEIGHT} at ${X},${Y}; frame left ${left} top ${top} (screen ${SCREEN_SIZE:-1024x768})"
}

# start_kinemo <build directory> <arguments...>: builds the program there (configuring
# a new folder first) and starts it on this display, its output in $work/kinemo.log.
start_kinemo() {
  local build=$1 source_dir
  shift
  source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  [ -f "$build/CMakeCache.txt" ] || cmake -S "$source_dir" -B "$build" -G Ninja >/dev/null
  cmake --build "$build" --target kinemo -j2 >/dev/null
  QT_QPA_PLATFORM=xcb "$build/kinemo" "$@" >"$work/kinemo.log" 2>&1 &
  pids+=($!)
}
