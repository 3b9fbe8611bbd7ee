#!/usr/bin/env bash
# Builds and runs every benchmark; each prints ratios against a baseline it
# measures in the same run. BENCH_APP_SECONDS shortens bench_app's running
# phase (default 60); BENCH_APP_PROGRAM names the UI program it measures.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"${JOBS:-2}"
for bench in build/bench/bench_*; do
  [ -x "$bench" ] || continue
  name=$(basename "$bench")
  args=()
  case "$name" in
    # bench_app's baseline and floor programs, started by bench_app itself.
    bench_bare_window | bench_linked_window) continue ;;
    bench_app)
      args=(--seconds "${BENCH_APP_SECONDS:-60}")
      if [ -n "${BENCH_APP_PROGRAM:-}" ]; then args+=(--program "$BENCH_APP_PROGRAM"); fi
      ;;
  esac
  echo "== $name"
  "$bench" "${args[@]}"
done
