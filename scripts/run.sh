#!/usr/bin/env bash
# Installs what building and running need (scripts/packages/base.txt), builds the
# program without its tests in build-run/ (the test command's build/ stays as it
# is) and starts it; arguments go to the program (for example --simulate).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" base
cmake -S "$root" -B "$root/build-run" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKINEMO_BUILD_TESTS=OFF -DKINEMO_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build-run" --target kinemo
exec "$root/build-run/kinemo" "$@"
