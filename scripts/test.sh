#!/usr/bin/env bash
# Sets everything up and runs the whole test suite: first in a normal build, then
# in a build with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== normal build"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j "$jobs"
ctest --test-dir "$root/build" --output-on-failure -j "$jobs"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKINEMO_SANITIZE=ON \
  -DKINEMO_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build-asan" -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$root/tests/support/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$root/build-asan" --output-on-failure -j "$jobs"

echo "== fuzzing the data-file parser (clang, libFuzzer, ASan + UBSan, 60 s)"
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKINEMO_FUZZ=ON -DKINEMO_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build-fuzz" -j "$jobs" --target kinemo_data_file_fuzzer
ctest --test-dir "$root/build-fuzz" --output-on-failure -R '^kinemo_data_file_fuzz$'
