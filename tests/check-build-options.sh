#!/usr/bin/env bash
# The build as a user configures it: a plain Release build turns no warning into an
# error and builds no benchmark, and the benchmarks build without the tests.
# Usage: check-build-options.sh <source dir> <scratch dir>
set -euo pipefail
src=$1
work=$2
rm -rf "$work"
fail() { echo "$*"; exit 1; }

cmake -S "$src" -B "$work/plain" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
! grep -q -e '-Werror' "$work/plain/build.ninja" || fail "a plain build turns warnings into errors"
! grep -q 'kinemo_bench_\|_bench:' "$work/plain/build.ninja" || fail "a plain build builds the benchmarks"

cmake -S "$src" -B "$work/bench" -G Ninja -DKINEMO_BUILD_TESTS=OFF -DKINEMO_BUILD_BENCH=ON >/dev/null
commands=$(ninja -C "$work/bench" -t commands kinemo_bench_tick kinemo_bench_run kinemo_files_bench)
! grep -q 'kinemo_testsupport\|gtest' <<<"$commands" || fail "the benchmarks need the tests' support library"

cmake -S "$src" -B "$work/strict" -G Ninja -DKINEMO_WERROR=ON >/dev/null
grep -q -e '-Werror' "$work/strict/build.ninja" || fail "KINEMO_WERROR=ON does not turn warnings into errors"
echo "build options as expected"
