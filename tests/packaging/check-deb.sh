#!/bin/bash
# Builds the Debian package with CPack and checks its contents and dependencies.
# Usage: check-deb.sh <build dir> <scratch dir>
set -euo pipefail
build=$1 scratch=$2
rm -rf "$scratch"
mkdir -p "$scratch"
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" 2>&1 ||
  fail "cpack failed: $(cat "$scratch/cpack.log")"
debs=("$scratch"/kinemo_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one kinemo_*.deb in $scratch"
deb=${debs[0]}

[ "$(dpkg-deb --field "$deb" Package)" = kinemo ] || fail "package name"
[ "$(dpkg-deb --field "$deb" Version)" = 1.0.15 ] || fail "package version"

contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
for path in ./usr/bin/kinemo \
            ./usr/share/applications/kinemo.desktop \
            ./usr/share/icons/hicolor/16x16/apps/kinemo.png \
            ./usr/share/icons/hicolor/32x32/apps/kinemo.png \
            ./usr/share/icons/hicolor/48x48/apps/kinemo.png \
            ./usr/share/icons/hicolor/64x64/apps/kinemo.png \
            ./usr/share/icons/hicolor/128x128/apps/kinemo.png \
            ./usr/share/icons/hicolor/scalable/apps/kinemo.svg \
            ./usr/lib/udev/rules.d/60-kinemo-wiimote.rules; do
  grep -qx "$path" <<<"$contents" || fail "$path missing from the package"
done

depends=$(dpkg-deb --field "$deb" Depends)
for package in libqt6core6 libqt6gui6 libqt6widgets6 libhidapi-hidraw0 fonts-ipafont-gothic; do
  [[ ", $depends," == *", $package"[,\ ]* ]] || fail "Depends lacks $package: $depends"
done
dpkg-deb --info "$deb" postinst >/dev/null || fail "postinst missing"
echo "$(basename "$deb"): Depends: $depends"
