#!/usr/bin/env bash
# Builds everything and runs the whole test suite twice: once in a normal
# build and once with AddressSanitizer + UndefinedBehaviorSanitizer. Also
# checks formatting. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh

echo "== format check"
files=$(git ls-files -co --exclude-standard -- '*.cpp' '*.h' '*.c' | grep -v '^build' || true)
if [ -n "$files" ]; then
  # shellcheck disable=SC2086
  clang-format --dry-run --Werror $files
fi

JOBS=${JOBS:-2}
export CTEST_OUTPUT_ON_FAILURE=1
# One locale for every run, whatever the machine has; tests that need a
# region set it themselves.
export LANG=C.UTF-8
unset LC_ALL LANGUAGE

echo "== build and test"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$JOBS"
ctest --test-dir build -j"$JOBS" --timeout 300

echo "== sanitizer build and test"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DZENTREL_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$JOBS"
LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan -j"$JOBS" --timeout 600

echo "== all tests passed"
