#!/bin/bash
# Installs the build into a scratch prefix and checks that exactly the expected files
# arrive, that each is what it claims to be, and that the desktop entry validates.
# Usage: check-install.sh <source dir> <build dir> <scratch dir>
set -euo pipefail
source_dir=$1 build=$2 scratch=$3
here=$(dirname "$0")
prefix="$scratch/usr"
rm -rf "$scratch"
mkdir -p "$scratch"
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$scratch/install.log"

actual=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
expected=$(LC_ALL=C sort "$here/installed-files.txt")
[ "$actual" = "$expected" ] || fail "installed files differ:
$(diff <(echo "$expected") <(echo "$actual"))"

[ -x "$prefix/bin/kinemo" ] || fail "bin/kinemo is not executable"
for size in 16 32 48 64 128; do
  got=$(identify -format '%wx%h' "$prefix/share/icons/hicolor/${size}x${size}/apps/kinemo.png")
  [ "$got" = "${size}x${size}" ] || fail "${size}x${size} icon is $got"
done
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/kinemo.svg" || fail "scalable icon is no SVG"
cmp -s "$source_dir/packaging/60-kinemo-wiimote.rules" "$prefix/lib/udev/rules.d/60-kinemo-wiimote.rules" ||
  fail "udev rule differs from packaging/60-kinemo-wiimote.rules"

desktop="$prefix/share/applications/kinemo.desktop"
command -v desktop-file-validate >/dev/null || fail "desktop-file-validate missing (package desktop-file-utils)"
report=$(desktop-file-validate "$desktop") || fail "desktop-file-validate: $report"
for line in 'Name=Kinemo' 'Exec=kinemo' 'Icon=kinemo' 'Type=Application'; do
  grep -qx "$line" "$desktop" || fail "desktop entry lacks $line"
done
grep -q '^Comment\[ja\]=' "$desktop" || fail "desktop entry lacks a Japanese comment"
categories=$(sed -n 's/^Categories=//p' "$desktop")
for category in Education Science; do
  [[ ";$categories" == *";$category;"* ]] || fail "desktop entry is not in $category"
done
echo "installed $(wc -l <<<"$actual") files into $prefix"
