#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the programs need.
# Idempotent: when everything is present it prints nothing and touches nothing.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config git clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  libglib2.0-dev libsqlite3-dev libicu-dev
  libcurl4-openssl-dev libjson-glib-dev libxml2-dev libssl-dev openssl
  libcairo2-dev libefl-all-dev librsvg2-bin gettext fonts-roboto fonts-dejavu-core
  python3 sqlite3 ca-certificates procps curl xvfb xdotool x11-xkb-utils dbus-daemon
  fonts-droid-fallback
  desktop-file-utils dpkg-dev file
  fonts-noto-ui-core
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "bootstrap: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
