#!/usr/bin/env bash
# The program's own CPU time (user + system, from /proc, not the display server's)
# while it monitors the simulated remote and while it records a run, for two builds
# side by side on one Xvfb display with openbox: the first, then the second, in
# alternating pairs so that both meet the same machine.
# Usage: bench/cpu-side-by-side.sh OLD_KINEMO NEW_KINEMO [pairs, default 2] [seconds, default 20]
# Run it on an idle machine; it prints one line per phase and program, then the
# averages and the ratio new/old.
set -euo pipefail
[ $# -ge 2 ] || { sed -n '2,9p' "$0" >&2; exit 2; }
old=$(readlink -f "$1")
new=$(readlink -f "$2")
pairs=${3:-2}
seconds=${4:-20}
# shellcheck source=../scripts/x-session.sh
source "$(dirname "$0")/../scripts/x-session.sh"
ticks=$(getconf CLK_TCK)

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# measure <kinemo> <label>: prints "<label> monitoring: N %" and "<label> recording: N %".
measure() {
  local program=$1 label=$2 pid window before after state
  state=$(mktemp -d -p "$work")
  XDG_STATE_HOME=$state QT_QPA_PLATFORM=xcb "$program" --simulate >"$work/$label.log" 2>&1 &
  pid=$!
  pids+=("$pid")
  window=$(xdotool search --sync --onlyvisible --pid "$pid" --name '^Kinemo' | head -n 1)
  sleep 3
  before=$(cpu_ticks "$pid")
  sleep "$seconds"
  after=$(cpu_ticks "$pid")
  echo "$label monitoring: $(awk -v d=$((after - before)) -v t="$ticks" -v s="$seconds" 'BEGIN {printf "%.2f", 100 * d / t / s}') %"
  # The record button's middle, in the window's own coordinates: the client area's
  # (656, 300) below the menu bar's 20 pixels.
  xdotool mousemove --window "$window" 656 320 click 1
  before=$(cpu_ticks "$pid")
  sleep 19
  after=$(cpu_ticks "$pid")
  sleep 2
  grep -q '記録が終了しました' "$state"/kinemo/*.log || { echo "$label: the run did not start or end" >&2; exit 1; }
  echo "$label recording: $(awk -v d=$((after - before)) -v t="$ticks" 'BEGIN {printf "%.2f", 100 * d / t / 19}') %"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

results=$(mktemp -p "$work")
for pair in $(seq 1 "$pairs"); do
  measure "$old" "old" | tee -a "$results"
  measure "$new" "new" | tee -a "$results"
done
# The mean of each, and the median of the pairs' ratios: a shared machine's noise comes in
# bursts that can spoil one pair, and the median shrugs them off.
for phase in monitoring recording; do
  awk -v phase="$phase" '$2 == phase":" {v[$1, n[$1]++] = $3; sum[$1] += $3}
    END {o = sum["old"] / n["old"]; w = sum["new"] / n["new"];
         for (i = 0; i < n["new"]; i++) r[i] = v["new", i] / v["old", i];
         m = n["new"]; for (i = 0; i < m; i++) for (j = i + 1; j < m; j++) if (r[j] < r[i]) {t = r[i]; r[i] = r[j]; r[j] = t}
         med = m % 2 ? r[(m - 1) / 2] : (r[m / 2 - 1] + r[m / 2]) / 2;
         printf "%s: old %.2f %%, new %.2f %% of a core, new/old %.2f (median of the pairs %.2f)\n", phase, o, w, w / o, med}' "$results"
done
