#!/usr/bin/env bash
# Installs every package list (scripts/packages/*.txt) and runs the whole test
# suite: first in a normal build, then in a build with AddressSanitizer and
# UndefinedBehaviorSanitizer, then fuzzes the data-file parser for 60 s. Ends with
# one line of totals.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
passed=0
failed=0
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# run_ctest <ctest arguments>: runs, then counts what ran into the totals.
run_ctest() {
  local status=0
  ctest "$@" 2>&1 | tee "$log" || status=$?
  local total bad
  total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n 1)
  bad=$(sed -n 's/.* \([0-9]*\) tests failed out of.*/\1/p' "$log" | tail -n 1)
  passed=$((passed + ${total:-0} - ${bad:-0}))
  failed=$((failed + ${bad:-0}))
  [ "$status" -eq 0 ] && [ -n "$total" ] && [ "${bad:-0}" -eq 0 ] || { echo "$passed passed, $((failed > 0 ? failed : 1)) failed"; exit 1; }
}

echo "== format"
# Every tracked C++ file as .clang-format lays it out (clang-format -i FILE mends one).
(cd "$root" && git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror) ||
  { echo "clang-format: the files named above differ from .clang-format's layout"; echo "$passed passed, 1 failed"; exit 1; }

echo "== normal build"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKINEMO_WERROR=ON \
  -DKINEMO_BUILD_TESTS=ON -DKINEMO_BUILD_BENCH=ON >/dev/null
cmake --build "$root/build" -j "$jobs"
run_ctest --test-dir "$root/build" --output-on-failure -j "$jobs"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKINEMO_SANITIZE=ON \
  -DKINEMO_WERROR=ON -DKINEMO_BUILD_TESTS=ON -DKINEMO_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build-asan" -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$root/tests/support/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_ctest --test-dir "$root/build-asan" --output-on-failure -j "$jobs"

echo "== fuzzing the data-file parser (clang, libFuzzer, ASan + UBSan, 60 s)"
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKINEMO_FUZZ=ON -DKINEMO_WERROR=ON -DKINEMO_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build-fuzz" -j "$jobs" --target kinemo_data_file_fuzzer
run_ctest --test-dir "$root/build-fuzz" --output-on-failure -R '^kinemo_data_file_fuzz$'

echo
echo "$passed passed, $failed failed"
