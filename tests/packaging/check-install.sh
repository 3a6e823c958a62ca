#!/bin/bash
# Installs the build into a scratch prefix and checks that exactly the expected files
# arrive, that each is what it claims to be, that the desktop entry and the
# software-centre metadata validate, and that the desktop tells a data file by its
# name and by its content.
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
# Both models, over Bluetooth (bus 0005) and behind an adapter that shows them as USB
# devices (0003): the device names as the kernel writes them, matched as udev does.
mapfile -t kernels < <(sed -n 's/^SUBSYSTEM=="hidraw", KERNELS=="\([^"]*\)", TAG+="uaccess"$/\1/p' \
  "$prefix/lib/udev/rules.d/60-kinemo-wiimote.rules")
for device in 0005:057E:0306.0001 0005:057E:0330.000A 0003:057E:0306.0002 0003:057E:0330.0003; do
  matched=no
  for pattern in "${kernels[@]}"; do
    # shellcheck disable=SC2053  # the pattern is matched as a glob, as udev does
    [[ $device == $pattern ]] && matched=yes
  done
  [ "$matched" = yes ] || fail "the udev rule gives no access to $device"
done

desktop="$prefix/share/applications/io.github.kinemo.Kinemo.desktop"
command -v desktop-file-validate >/dev/null || fail "desktop-file-validate missing (package desktop-file-utils)"
report=$(desktop-file-validate "$desktop") || fail "desktop-file-validate: $report"
for line in 'Name=Kinemo' 'Exec=kinemo %f' 'Icon=kinemo' 'Type=Application' 'MimeType=application/x-kinemo-data;'; do
  grep -qx "$line" "$desktop" || fail "desktop entry lacks $line"
done
grep -q '^Comment\[ja\]=' "$desktop" || fail "desktop entry lacks a Japanese comment"
categories=$(sed -n 's/^Categories=//p' "$desktop")
for category in Education Science; do
  [[ ";$categories" == *";$category;"* ]] || fail "desktop entry is not in $category"
done

metainfo="$prefix/share/metainfo/io.github.kinemo.Kinemo.metainfo.xml"
command -v appstreamcli >/dev/null || fail "appstreamcli missing (package appstream)"
report=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $report"
grep -q '<release version="1.0.16"' "$metainfo" || fail "metainfo lacks the release 1.0.16"

# Both pages, as a UTF-8 terminal shows them. Below a ja/ folder man breaks
# Japanese text anywhere; elsewhere (the page read with man -l, or a system without
# that support) groff breaks it only where the source allows, and warns where a line
# has no such place: the copy outside ja/ checks that.
cp "$prefix/share/man/ja/man1/kinemo.1.gz" "$scratch/kinemo.ja.1.gz"
# A narrow terminal and a wide one: a Japanese run with no break allowed in it
# runs past the margin at one width only.
for page in "$prefix/share/man/man1/kinemo.1.gz" "$prefix/share/man/ja/man1/kinemo.1.gz" "$scratch/kinemo.ja.1.gz"; do
  for width in 60 80; do
    LC_ALL=C.UTF-8 MANWIDTH=$width man --warnings -l "$page" 2>&1 >/dev/null | { ! grep .; } ||
      fail "man page warnings in $page at $width columns"
  done
done
for section in 名前 書式 説明 オプション データファイル ファイル 環境変数 終了ステータス; do
  zgrep -q "^\.SH $section\$" "$prefix/share/man/ja/man1/kinemo.1.gz" || fail "Japanese man page lacks $section"
done
# Both pages list the same terms (options, files, variables, exit statuses), in
# the same order, and the same number of sections.
terms() { zcat "$1" | sed -n '/^\.TP$/{n;p}'; }
english=$prefix/share/man/man1/kinemo.1.gz japanese=$prefix/share/man/ja/man1/kinemo.1.gz
[ "$(terms "$english")" = "$(terms "$japanese")" ] || fail "the man pages list different terms:
$(diff <(terms "$english") <(terms "$japanese"))"
[ "$(zgrep -c '^\.SH ' "$english")" = "$(zgrep -c '^\.SH ' "$japanese")" ] || fail "the man pages have different sections"
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
  "$prefix/share/doc/kinemo/copyright" || fail "copyright file is not machine-readable"

# The data-file type as a desktop sees it, from the scratch prefix's own database.
export XDG_DATA_DIRS="$prefix/share:/usr/share" XDG_DATA_HOME="$scratch/none"
update-mime-database "$prefix/share/mime"
printf '"Kinemo"\r\n""\r\n1.05\r\n131,131,131\r\n' >"$scratch/saved-run"
printf '\xef\xbb\xbfKinemo,,\r\n"",,\r\n1.05,,\r\n' >"$scratch/resaved-run"
printf 'time,x,y,z\r\n' >"$scratch/plain-csv"
# By name alone: a content that says nothing (an empty file is plain text to GIO).
printf 'a\n' | tee "$scratch/named.KMO" >"$scratch/named.kmo"
for case in named.KMO:application/x-kinemo-data named.kmo:application/x-kinemo-data \
            saved-run:application/x-kinemo-data resaved-run:application/x-kinemo-data plain-csv:text/plain; do
  got=$(gio info -a standard::content-type "$scratch/${case%%:*}" | sed -n 's/^ *standard::content-type: //p')
  [ "$got" = "${case#*:}" ] || fail "${case%%:*} is taken for $got, not ${case#*:}"
done
echo "installed $(wc -l <<<"$actual") files into $prefix"
