#!/bin/bash
# Builds the Debian package with CPack and checks its contents and dependencies,
# and lints it when lintian is there: no error and no warning.
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
[ "$(dpkg-deb --field "$deb" Version)" = 1.0.16 ] || fail "package version"

files=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print $NF}' | LC_ALL=C sort)
expected=$(sed 's|^|./usr/|' "$(dirname "$0")/installed-files.txt" | LC_ALL=C sort)
[ "$files" = "$expected" ] || fail "package files differ:
$(diff <(echo "$expected") <(echo "$files"))"

depends=$(dpkg-deb --field "$deb" Depends)
for package in libqt6core6 libqt6gui6 libqt6widgets6 fonts-ipafont-gothic qt6-translations-l10n; do
  [[ ", $depends," == *", $package"[,\ ]* ]] || fail "Depends lacks $package: $depends"
done
dpkg-deb --info "$deb" postinst >/dev/null || fail "postinst missing"
if command -v lintian >/dev/null; then
  status=0
  lint=$(lintian "$deb" 2>"$scratch/lintian.err") || status=$?
  [ $status -le 1 ] || fail "lintian did not run: $(cat "$scratch/lintian.err")"
  ! grep -E '^[EW]: ' <<<"$lint" || fail "lintian: $lint"
else
  echo "lintian not installed: package not linted"
fi
echo "$(basename "$deb"): Depends: $depends"
