#!/usr/bin/env bash
# Builds the Debian package (zentrel_<version>_<arch>.deb) from the install
# rules, in a build tree of its own configured for /usr, and prints its path.
# Install it with: apt install ./build-deb/zentrel_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
BUILD=${BUILD:-build-deb}
launchers=()
if command -v ccache >/dev/null; then
  launchers=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  "${launchers[@]}" >/dev/null
cmake --build "$BUILD" -j"${JOBS:-2}"
(cd "$BUILD" && cpack -G DEB >/dev/null)
ls "$BUILD"/zentrel_*.deb
