#!/usr/bin/env bash
# Installs the Debian packages of the lists in scripts/packages/, using sudo when
# not run as root. Installs only what is missing.
# Usage: scripts/setup.sh [list...]   e.g. `setup.sh base` for building and running
# only; without a list name, every list (all that the tests need too).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
lists=()
if [ $# -eq 0 ]; then
  lists=("$here"/packages/*.txt)
else
  for name in "$@"; do
    [ -f "$here/packages/$name.txt" ] || { echo "no package list $name (see $here/packages/)" >&2; exit 2; }
    lists+=("$here/packages/$name.txt")
  done
fi
mapfile -t wanted < <(cat "${lists[@]}" | sed -e 's/#.*//' -e 's/[[:space:]]//g' | grep -v '^$' | sort -u)
missing=()
for package in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq "${missing[@]}"
