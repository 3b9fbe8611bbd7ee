#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses it as a user would, from
# outside the source and build trees: the programs load the prefix's
# libraries, the main program starts headless and finds its theme there,
# ostractl starts the prefix's recorder daemon and launches through the
# prefix's registry, the desktop entries validate, the user unit runs the
# prefix's daemon, and a client builds with pkg-config alone and runs.
# Usage: InstallTest.sh BUILD_DIR CLIENT_SOURCE SCREENSHOT_DIR [CLIENT_FLAGS]
set -euo pipefail

build=$1
client_source=$2
screenshot_dir=$3
client_flags=${4:-}

work=$(mktemp -d)
prefix=$work/prefix
launched=""
# cmake --install rewrites the build's install manifest; the user's own
# install keeps its list of files to uninstall.
manifest=$build/install_manifest.txt
if [ -f "$manifest" ]; then
  cp -p "$manifest" "$work/manifest"
fi
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
cleanup() {
  if [ -x "$prefix/bin/ostractl" ]; then
    "$prefix/bin/ostractl" sensor recorder stop >/dev/null 2>&1 || true
  fi
  if [ -n "$launched" ]; then
    kill "$launched" 2>/dev/null || true
  fi
  if [ -f "$work/manifest" ]; then
    cp -p "$work/manifest" "$manifest"
  else
    rm -f "$manifest"
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# Waits up to 10 s for PATTERN in FILE; prints the first matching line.
wait_for_line() {
  local pattern=$1 file=$2 tries=0
  until grep -m1 -e "$pattern" "$file" 2>/dev/null; do
    tries=$((tries + 1))
    [ "$tries" -le 100 ] || return 1
    sleep 0.1
  done
}

"${CMAKE:-cmake}" --install "$build" --prefix "$prefix" >"$work/install.log" ||
  fail "cmake --install failed: $(tail -3 "$work/install.log")"
prefix=$(realpath "$prefix")
cd "$work"
unset LD_LIBRARY_PATH OSTRA_RESOURCE_DIR OSTRA_APPS_PATH OSTRA_SENSORD OSTRA_PACKAGE_ID OSTRA_APP_ID
export OSTRA_ROOT=$work/root OSTRA_SENSOR=sim
mkdir -m 700 "$OSTRA_ROOT"

# An empty RUNPATH entry makes the loader search the current directory.
check_runpath() {
  local runpath
  runpath=$(readelf -d "$1" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]$/\1/p')
  if [ -n "$runpath" ] && [[ ":$runpath:" == *::* ]]; then
    fail "$1 searches the current directory for libraries: RUNPATH [$runpath]"
  fi
}

echo "== programs load the prefix's libraries"
for program in zentrel zentrel-widget zentrel-alert zentrel-cloud ostractl ostra-sensord \
  ostra-privacy-guide ostra-connection-popup ostra-weather-agent; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
  foreign=$(ldd "$prefix/bin/$program" | grep -E "lib(ostra|zentrel|brisa)" |
    grep -v "=> $prefix/" || true)
  [ -z "$foreign" ] || fail "$program loads $foreign"
  # The program, installed and in the build tree, and the project's
  # libraries each of them loads.
  for binary in "$prefix/bin/$program" "$build"/*/"$program"; do
    check_runpath "$binary"
    while read -r library; do
      check_runpath "$library"
    done < <(ldd "$binary" | sed -n 's/.*lib\(ostra\|zentrel\|brisa\)[^ ]* => \([^ ]*\) .*/\2/p')
  done
done

echo "== the main program starts headless with the prefix's theme"
log=$work/zentrel.log
shot=$work/installed-zentrel.png
env -u DISPLAY -u WAYLAND_DISPLAY ELM_DISPLAY=buffer ELM_ACCEL=none \
  OSTRA_SCREENSHOT="$shot:1" OSTRA_SCREENSHOT_EXIT=1 \
  timeout 20 "$prefix/bin/zentrel" >"$log" 2>&1 || fail "zentrel failed; log: $(tail -5 "$log")"
grep -q "libostra runs installed below $prefix\$" "$log" || fail "zentrel did not run installed"
grep -q "first frame drawn" "$log" || fail "zentrel drew no frame"
if grep -E "failed to set edje file|cannot be read|is missing in" "$log"; then
  fail "zentrel did not find its theme"
fi
[ -s "$shot" ] || fail "no screenshot"
mkdir -p "$screenshot_dir"
cp "$shot" "$screenshot_dir/"
"$prefix/bin/ostractl" summary | grep -qx "resources: $prefix/share/zentrel/res/" ||
  fail "ostractl reads resources from $("$prefix/bin/ostractl" summary | grep resources:)"

echo "== ostractl starts the prefix's recorder daemon"
"$prefix/bin/ostractl" sensor recorder start >/dev/null 2>&1 || fail "recorder did not start"
pid=$(tr -dc 0-9 <"$OSTRA_ROOT/system/ostra-sensord.lock")
[ "$(readlink "/proc/$pid/exe")" = "$prefix/bin/ostra-sensord" ] ||
  fail "the recorder daemon runs $(readlink "/proc/$pid/exe")"

echo "== a launch request starts the program the prefix's registry names"
"$prefix/bin/ostractl" launch org.ostra.weather.agent 2>"$work/launch.log" ||
  fail "launch failed: $(cat "$work/launch.log")"
line=$(wait_for_line "org.ostra.weather.agent: launch request" "$work/launch.log") ||
  fail "the weather agent did not start: $(cat "$work/launch.log")"
launched=$(sed -n 's/^[^(]*( *\([0-9]*\)).*/\1/p' <<<"$line")
[ "$(readlink "/proc/$launched/exe")" = "$prefix/bin/ostra-weather-agent" ] ||
  fail "the launch started $(readlink "/proc/$launched/exe")"

echo "== desktop entries and the user unit"
entries=("$prefix"/share/applications/*.desktop)
[ ${#entries[@]} -eq 2 ] || fail "expected two desktop entries, found ${entries[*]}"
desktop-file-validate "${entries[@]}" || fail "desktop-file-validate rejected an entry"
for entry in "${entries[@]}"; do
  exec_path=$(sed -n 's/^Exec=//p' "$entry")
  if [ ! -x "$exec_path" ] || [[ "$exec_path" != "$prefix/bin/"* ]]; then
    fail "$entry runs $exec_path"
  fi
done
[ -f "$prefix/share/icons/hicolor/scalable/apps/zentrel.svg" ] || fail "no icon"
grep -qx "ExecStart=$prefix/bin/ostra-sensord" "$prefix/share/systemd/user/ostra-sensord.service" ||
  fail "the user unit does not run the prefix's ostra-sensord"

echo "== a client builds with pkg-config alone"
export PKG_CONFIG_PATH
PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name zentrel-core.pc)")
flags=$(pkg-config --cflags --libs zentrel-core) || fail "pkg-config zentrel-core failed"
libdir=$(pkg-config --variable=libdir zentrel-core)
# shellcheck disable=SC2086
c++ -std=c++17 $client_flags "$client_source" -o "$work/client" $flags -Wl,-rpath,"$libdir" ||
  fail "the client did not build with: $flags"
"$work/client" || fail "the client failed"
# The client and the installed ostractl share one store.
"$prefix/bin/ostractl" pref get ZENTREL_DATA_SEE_LEVEL | grep -q "1020.5" ||
  fail "ostractl does not see the client's write"

echo "install test passed"
