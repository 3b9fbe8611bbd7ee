# shellcheck shell=bash
# Sourced by run.sh and screenshots.sh: six hours of pressure history for the
# recorder, and headless runs of a UI program that end in a screenshot.
# Expects OSTRACTL (the ostractl binary) and acts on the current OSTRA_ROOT.
set -euo pipefail

# The app id the programs run as, and the operation of the widget's tap
# (the build constants ZENTREL_APP_ID_MAIN and ZENTREL_OPERATION_WIDGET_OPEN).
cache_value() {
  sed -n "s/^$1:[A-Z]*=//p" build/CMakeCache.txt
}

# Stores six hours of readings in the recorder, ending now at the pressure
# the sensor reads now, so the history and the live value join.
import_six_hours() {
  local now trace
  now=$("$OSTRACTL" sensor show | awk '$1 == "reading:" && $3 == "hPa" { print $2 }')
  trace=$(mktemp --suffix=.csv)
  python3 scripts/pressure_trace.py ${now:+--end-hpa "$now"} >"$trace"
  "$OSTRACTL" sensor import "$trace" --end now
  rm -f "$trace"
}

# Fills an empty recorder with six simulated hours, only for the simulated
# sensor: made-up data never goes into a real barometer's history.
prepare_history() {
  local source_kind buckets
  source_kind=$("$OSTRACTL" sensor show | awk '$1 == "source:" { print $2 }')
  buckets=$("$OSTRACTL" sensor show | awk '$1 == "history:" { print $2 }')
  if [ "${buckets:-0}" -ne 0 ]; then
    echo "run.sh: keeping the recorder's history ($buckets buckets in the last six hours)"
  elif [ "$source_kind" = sim ]; then
    echo "run.sh: the recorder is empty; storing six simulated hours for the simulated sensor"
    import_six_hours
  else
    echo "run.sh: the recorder is empty; no simulated hours for the $source_kind source"
  fi
}

# shoot PROGRAM PNG SECONDS [OPERATION [KEY=VALUE...]]
# Runs PROGRAM on the buffer engine and writes its window to PNG SECONDS after
# start; its log goes next to PNG (.log). Without OPERATION it opens as from
# the app list; with one it starts as a launch request starts it and gets
# that request. SHOOT_APP_ID names the app it runs as (default: the main program).
shoot() {
  local program=$1 png=$2 seconds=$3
  shift 3
  local app_id log root pid waited=0
  app_id=${SHOOT_APP_ID:-$(cache_value ZENTREL_APP_ID_MAIN)}
  log="${png%.png}.log"
  root=$("$OSTRACTL" summary | awk '$1 == "root:" { print $2 }')
  rm -f "$png"
  local headless=(env -u DISPLAY -u WAYLAND_DISPLAY ELM_DISPLAY=buffer ELM_ACCEL=none
    OSTRA_APP_ID="$app_id" OSTRA_SCREENSHOT="$png:$seconds" OSTRA_SCREENSHOT_EXIT=1)
  if [ $# -eq 0 ]; then
    "${headless[@]}" "$program" 2>"$log" &
    pid=$!
  else
    # A program a launcher starts waits for the launcher's request.
    "${headless[@]}" OSTRA_LAUNCH_PENDING=1 "$program" 2>"$log" &
    pid=$!
    while [ ! -S "$root/run/$app_id.sock" ] && kill -0 "$pid" 2>/dev/null && [ "$waited" -lt 100 ]; do
      sleep 0.1
      waited=$((waited + 1))
    done
    # Without its socket the request would start a second program.
    if [ -S "$root/run/$app_id.sock" ]; then
      "$OSTRACTL" launch "$app_id" "$@" >>"$log" 2>&1 || true
    fi
  fi
  # The program quits after its screenshot; one that hangs is stopped.
  waited=0
  while kill -0 "$pid" 2>/dev/null && [ "$waited" -lt $((${seconds%.*} * 10 + 300)) ]; do
    sleep 0.1
    waited=$((waited + 1))
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" || true
  if [ ! -s "$png" ]; then
    echo "no screenshot from $program; its log ($log) ends with:" >&2
    tail -n 20 "$log" >&2
    return 1
  fi
}
