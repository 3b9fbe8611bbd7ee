#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for SECONDS (default 600) from the
# seed corpus in tests/fuzz/corpus. New inputs go to build-fuzz/corpus, crash
# reproducers to build-fuzz/artifacts. Exits non-zero when any target fails.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-600}
TARGETS=(WeatherParsers StringUtilText SlpHistory Bundle LaunchWire BackupRecord UpdateAnswer)

need=()
command -v clang++ >/dev/null || need+=(clang)
clang_major=$( (clang++ --version 2>/dev/null || echo "version 14") | sed -n 's/.*version \([0-9]*\).*/\1/p' | head -1)
dpkg -s "libclang-rt-${clang_major}-dev" >/dev/null 2>&1 || need+=("libclang-rt-${clang_major}-dev")
if [ ${#need[@]} -gt 0 ]; then
  echo "== installing ${need[*]}"
  apt-get install -y --no-install-recommends "${need[@]}" >/dev/null
fi

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
echo "== build"
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZENTREL_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j"${JOBS:-2}" --target "${TARGETS[@]/#/fuzz_}"

export LANG=C.UTF-8
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for target in "${TARGETS[@]}"; do
  work=build-fuzz/corpus/$target
  mkdir -p "$work" build-fuzz/artifacts
  echo "== $target for ${SECONDS_EACH}s"
  log=build-fuzz/$target.log
  if build-fuzz/tests/fuzz/fuzz_"$target" -max_total_time="$SECONDS_EACH" -print_final_stats=1 \
      -rss_limit_mb=2048 -timeout=10 -artifact_prefix=build-fuzz/artifacts/"$target"- \
      "$work" tests/fuzz/corpus/"$target" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "   $runs executions, no failure"
  else
    echo "   FAILED: see $log and build-fuzz/artifacts/"
    tail -30 "$log"
    failed+=("$target")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "== failed: ${failed[*]}"
  exit 1
fi
echo "== every target ran clean"
