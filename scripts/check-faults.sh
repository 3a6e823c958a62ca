#!/usr/bin/env bash
# Breaks the program on purpose, one fault at a time, and checks that the test suite
# notices each. Every fault is a small patch in tests/faults/ whose first line says
# what a user would see. The patches are applied to a scratch copy of the tracked
# files (the working tree is never touched), built, tested and taken back again.
# Run on demand, not in CI; it takes about a minute a fault:
#   scripts/check-faults.sh                    every fault
#   scripts/check-faults.sh tests/faults/07-*  some of them
# Ends with one line of totals; exits 1 if any fault built and passed every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
if [ $# -gt 0 ]; then patches=("$@"); else patches=("$root"/tests/faults/*.patch); fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
git -C "$root" ls-files -z | (cd "$root" && xargs -0 cp --parents -t "$scratch")
export QT_QPA_PLATFORM=offscreen
cmake -S "$scratch" -B "$scratch/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKINEMO_BUILD_BENCH=OFF >/dev/null
cmake --build "$scratch/build" -j "$(nproc)" >/dev/null
# The kernel and packaging tests take minutes and guard nothing a patch here breaks;
# faults.apply would fail on the applied patch itself.
suite=(ctest --test-dir "$scratch/build" -LE 'system|packaging' -E '^(build\.options|faults\.apply)$' -j "$(nproc)")
"${suite[@]}" >/dev/null || { echo "check-faults: the suite fails without any fault" >&2; exit 2; }

caught=0
missed=0
log=$(mktemp)
for patch in "${patches[@]}"; do
  name=$(basename "$patch" .patch)
  what=$(head -n 1 "$patch" | sed 's/^Fault: //')
  if ! patch -d "$scratch" -p1 -s --forward <"$patch" >"$log" 2>&1; then
    echo "$name: does not apply: $(head -n 3 "$log" | tr '\n' ' ')"
    missed=$((missed + 1))
    continue
  fi
  if ! cmake --build "$scratch/build" -j "$(nproc)" >"$log" 2>&1; then
    echo "$name: does not build (a fault must build to count): $what"
    missed=$((missed + 1))
  elif "${suite[@]}" >"$log" 2>&1; then
    echo "$name: NOT CAUGHT: $what"
    missed=$((missed + 1))
  else
    failing=$(sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) (.*/\1/p' "$log" | tr '\n' ' ')
    echo "$name: caught by ${failing:-the suite}: $what"
    caught=$((caught + 1))
  fi
  patch -d "$scratch" -p1 -s -R <"$patch"
done
rm -f "$log"
echo
echo "$caught caught, $missed not caught"
[ "$missed" -eq 0 ]
