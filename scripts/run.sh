#!/usr/bin/env bash
# Sets everything up, builds Kinemo and starts it; arguments go to the program
# (for example --simulate).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" --target kinemo
exec "$root/build/kinemo" "$@"
