#!/usr/bin/env bash
# Builds and starts the main program on the simulated sensor. Until the main
# program exists, it prints the platform state instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"${JOBS:-2}"

if [ -x build/app/zentrel ]; then
  exec build/app/zentrel "$@"
fi
echo "The main program is not built yet; this is the platform state it would see:"
echo
build/platform/ostractl summary
