#!/usr/bin/env bash
# Follows the spreadsheet part of the first lesson (docs/ja/first-lesson.md, steps 6-8)
# in the real LibreOffice Calc with its Japanese interface, and checks the result
# against the program: a run recorded on the simulated remote and saved as
# furiko1.csv is opened through ファイル ▸ 開く and the text import dialog, the
# lesson's four formulas go into D4:G4 and are filled down to row 2003 with Ctrl+D,
# and for every one of the 2000 rows Calc's G must equal the program's readout for
# those bytes and Calc's seconds must lie within half a pixel (0.005 s) of where the
# viewer draws that sample. The .KMO name of the same run must reach the same import
# dialog. Takes the pictures docs/ja/images/calc-1-import.png and calc-2-sheet.png.
#
# Run on demand, not in CI: it installs what it needs (LibreOffice is large) with
# apt-get, as root or through sudo.
# Usage: scripts/check-calc-lesson.sh [build directory]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
out="$root/docs/ja/images"

wanted=(libreoffice-calc libreoffice-l10n-ja xvfb openbox xdotool x11-utils imagemagick fonts-ipafont-gothic g++)
missing=()
for package in "${wanted[@]}"; do
  [ "$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)" = installed ] || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

SCREEN_SIZE=1280x900
source "$root/scripts/x-session.sh"
# CALC_CHECK_SCREEN=<file.png> keeps the screen as it was when a step failed.
fail() {
  [ -z "${CALC_CHECK_SCREEN:-}" ] || import -window root "$CALC_CHECK_SCREEN" || true
  echo "FAIL: $*" >&2
  exit 1
}

# --- A run recorded and saved by the program, as in steps 4 and 6 of the lesson.
export XDG_STATE_HOME="$work/state"
mkdir -p "$work/sensei"
cd "$work/sensei"
start_kinemo "$build" --simulate
id=$(timeout 20 xdotool search --sync --onlyvisible --name '^Kinemo  ' | head -n 1)
xdotool windowactivate --sync "$id" 2>/dev/null || true
sleep 2
xdotool mousemove --window "$id" 656 318 click 1  # 時間軸の校正
for _ in $(seq 1 90); do
  grep -q '記録が終了しました' "$XDG_STATE_HOME"/kinemo/*.log 2>/dev/null && break
  sleep 1
done
grep -q '記録が終了しました' "$XDG_STATE_HOME"/kinemo/*.log || fail "the recording run did not end"
for name in furiko1.csv furiko1.KMO; do
  xdotool mousemove --window "$id" 30 8 click 1  # ファイル ▸ データの保存
  sleep 0.5
  xdotool key Down Down Return
  sleep 2
  xdotool type --delay 40 "$name"
  xdotool key Return
  sleep 2
  [ -f "$work/sensei/$name" ] || fail "the program did not save $name"
done

# --- What the program makes of these bytes: its own reader, readout text and
# viewer window, compiled from the build's libraries.
cat >"$work/program-values.cpp" <<'EOF'
#include "app/ViewSpan.h"
#include "core/NumberText.h"
#include "files/DataFormat.h"
#include <fstream>
#include <iostream>
#include <sstream>
int main(int, char** argv) {
    std::ifstream in(argv[1], std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const auto run = std::get<kinemo::SampleRun>(kinemo::parseDataFile(bytes.str()));
    const int maximum = kinemo::ViewSpan::scrollMaximum(run.samplePeriod);
    for (int i = 0; i < 2000; ++i) {
        // The window that starts at sample i, or the last one; the sample's x in it.
        const int start = std::min(i, maximum - 1);
        const auto window = kinemo::ViewSpan::atScrollPosition(maximum, maximum - start, run.samplePeriod);
        const double x = (i - start) * static_cast<double>(run.samplePeriod);
        const double seconds = window.axis.firstSecond + (window.axis.phase + x) / 100.0;
        std::cout << i + 4 << ',' << seconds;
        for (int k = 0; k < 3; ++k) std::cout << ',' << kinemo::gText(run.samples[i][k]);
        std::cout << '\n';
    }
}
EOF
g++ -std=c++20 -I"$root" "$work/program-values.cpp" -o "$work/program-values" \
  "$build/app/libkinemo_app.a" "$build/files/libkinemo_files.a" "$build/core/libkinemo_core.a"
"$work/program-values" "$work/sensei/furiko1.csv" >"$work/program.csv"

# --- LibreOffice Calc in Japanese, on a profile of its own that skips the first-start tips.
profile="$work/lo-profile"
mkdir -p "$profile/user"
cat >"$profile/user/registrymodifications.xcu" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="ShowTipOfTheDay" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="FirstRun" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Setup/Office"><prop oor:name="ooSetupInstCompleted" oor:op="fuse"><value>true</value></prop></item>
<item oor:path="/org.openoffice.Setup/Product"><prop oor:name="ooSetupLastVersion" oor:op="fuse"><value>7.4</value></prop></item>
<item oor:path="/org.openoffice.Office.Recovery/AutoSave"><prop oor:name="Enabled" oor:op="fuse"><value>false</value></prop></item>
</oor:items>
EOF
LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 soffice -env:UserInstallation="file://$profile" --nologo --norestore --calc \
  >"$work/calc.log" 2>&1 &
pids+=($!)

# wait_for_window <title pattern>: the id of the visible window of that title (bash's
# own match: xdotool's --name misses the Japanese titles of Calc's dialogs).
wait_for_window() {
  local window name
  for _ in $(seq 1 40); do
    for window in $(xdotool search --onlyvisible --name . 2>/dev/null); do
      name=$(xdotool getwindowname "$window" 2>/dev/null) || continue
      if [[ $name =~ $1 ]]; then
        echo "$window"
        return 0
      fi
    done
    sleep 0.5
  done
  return 1
}

calc=$(wait_for_window 'LibreOffice Calc$') || fail "Calc did not start"
sleep 3
xdotool windowactivate --sync "$calc" 2>/dev/null || true

# ファイル ▸ 開く, the file name typed in full. The .KMO name first: it must reach
# the import dialog too, though the lesson goes on with the .csv name.
open_in_calc() {
  xdotool key ctrl+o
  wait_for_window '^開く$' >/dev/null || fail "Calc's open dialog did not appear"
  sleep 1
  xdotool type --delay 20 "$1"
  xdotool key Return
  wait_for_window "テキストのインポート - \[$(basename "$1")\]" || fail "no text import dialog for $1"
}
dialog=$(open_in_calc "$work/sensei/furiko1.KMO")
sleep 1
xdotool key --window "$dialog" Escape
sleep 2
dialog=$(open_in_calc "$work/sensei/furiko1.csv")
sleep 1
# 文字エンコーディング: Unicode (UTF-8); 次の記号で区切られたフィールド with コンマ only
# (a new profile starts with タブ, コンマ and セミコロン ticked).
xdotool key alt+a
xdotool type --delay 30 "Unicode (UTF-8)"
xdotool key alt+s alt+t alt+e
sleep 1
shot "$dialog" "$out/calc-1-import.png"
xdotool key Return
sheet=$(wait_for_window '^furiko1.csv - LibreOffice Calc$') || fail "the file did not open as a sheet"
sleep 2

# Step 8: the name box (left of the formula bar) selects D4, the formulas go in with
# Tab between them, then D4:G2003 is selected and filled down.
name_box() {
  xdotool mousemove --window "$sheet" 80 94 click 1
  sleep 0.3
  xdotool type --delay 30 "$1"
  xdotool key Return
  sleep 0.5
}
name_box D4
for formula in '=(ROW()-4)*$A$3/100' '=INT((131-A4)*100/27)/100' '=INT((131-B4)*100/27)/100' '=INT((131-C4)*100/27)/100'; do
  xdotool type --delay 30 "$formula"
  xdotool key Tab
  sleep 0.3
done
xdotool key Return
name_box D4:G2003
xdotool key ctrl+d
sleep 1
name_box E4
xdotool mousemove --window "$sheet" 700 600
sleep 1
shot "$sheet" "$work/sheet.png"
# Columns A..G with the menu, the formula bar and the first rows are what the lesson shows.
convert "$work/sheet.png" -crop 660x520+0+0 +repage "$out/calc-2-sheet.png"

# The sheet as Calc computed it, saved as text (ファイル ▸ 名前を付けて保存, keeping
# the CSV format when asked).
xdotool key ctrl+shift+s
wait_for_window '^名前を付けて保存$' >/dev/null || fail "no save dialog"
sleep 1
xdotool key ctrl+a
xdotool type --delay 20 "$work/calc.csv"
xdotool key Return
wait_for_window '^ファイル形式の確認$' >/dev/null || fail "Calc did not ask about the CSV format"
sleep 0.5
xdotool key alt+u
for _ in $(seq 1 20); do [ -s "$work/calc.csv" ] && break; sleep 0.5; done

# --- Row by row: Calc's D..G against the program's seconds and readouts.
awk -F, -v period="$(sed -n 3p "$work/sensei/furiko1.csv" | tr -d '\r')" '
  function abs(v) { return v < 0 ? -v : v }
  NR == FNR { seconds[$1] = $2; gx[$1] = $3; gy[$1] = $4; gz[$1] = $5; next }
  FNR >= 4 && FNR <= 2003 {
    rows++
    if (abs($4 - seconds[FNR]) > 0.005) { print "row " FNR ": Calc " $4 " s, viewer " seconds[FNR] " s"; bad++ }
    if ($5 != gx[FNR] || $6 != gy[FNR] || $7 != gz[FNR]) {
      print "row " FNR ": Calc " $5 "," $6 "," $7 " G, program " gx[FNR] "," gy[FNR] "," gz[FNR] " G"; bad++
    }
  }
  FNR == 2004 && $4 != "" { print "row 2004 holds a formula"; bad++ }
  END {
    printf "%d rows checked (period %s): %d differ\n", rows, period, bad
    exit (rows == 2000 && bad == 0) ? 0 : 1
  }' "$work/program.csv" "$work/calc.csv" || fail "Calc's values differ from the program's"
ls -l "$out"/calc-*.png
