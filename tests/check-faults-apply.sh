#!/usr/bin/env bash
# Every deliberate fault in tests/faults/ still applies to the source tree, so a
# change that moves the code under a patch remakes the patch in the same change
# (scripts/check-faults.sh then shows that it is still caught).
# Usage: check-faults-apply.sh SOURCE_DIR
set -u
root=$1
stale=0
total=0
for patch in "$root"/tests/faults/*.patch; do
  total=$((total + 1))
  if ! out=$(git -C "$root" apply --check "$patch" 2>&1); then
    echo "no longer applies: ${patch#"$root"/}"
    echo "$out" | head -n 3 | sed 's/^/  /'
    stale=$((stale + 1))
  fi
done
echo "$((total - stale)) of $total fault patches apply"
[ "$total" -gt 0 ] && [ "$stale" -eq 0 ]
