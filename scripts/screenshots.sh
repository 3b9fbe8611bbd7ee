#!/usr/bin/env bash
# Renders the README's screenshots from the real program, headless, in a
# throw-away OSTRA_ROOT with six hours of recorded pressure and the simulated
# sensor:
#   docs/launch.png           the main program 0.3 s after it starts
#   docs/barometer-hpa.png    the barometer page (opened by the widget's tap), hPa
#   docs/barometer-inhg.png   the same in inHg
#   docs/alti-*.png           the altitude page's states and popups, rendered by
#                             its screen tests against the provider stand-in
#   docs/connection-popup.png the platform's connection popup after a failed request
#   docs/permission-guide.png the guide a first start shows
# and, from the screen tests (tests/app), the screens a user taps through:
# calibration, help and the permission guide (see TEST_SHOTS below); the
# settings page (docs/settings.png, page 2 opened by the widget's tap) and the
# settings menu, its unit pickers and popups (see SETTING_SHOTS below).
# and the main screens in German and Arabic, docs/lang-<de|ar>-*.png: the three
# pages, the widget, the alert, the privacy guide and the connection popup from
# the programs (LANG chooses the language
# and, through the region format that follows it, the digits), the settings
# menu, calibration list and help list from the language tests (tests/lang).
# scripts/screenshots.sh [--program PATH] [--out DIR]
set -euo pipefail
cd "$(dirname "$0")/.."

PROGRAM=build/app/zentrel
OUT=docs
while [ $# -gt 0 ]; do
  case "$1" in
    --program) PROGRAM=$2; shift 2 ;;
    --out) OUT=$2; shift 2 ;;
    *) echo "usage: $0 [--program PATH] [--out DIR]" >&2; exit 2 ;;
  esac
done

scripts/bootstrap.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=(ostractl ostra-sensord zentrel-resources ostra-connection-popup)
case "$PROGRAM" in
  build/*) targets+=("$(basename "$PROGRAM")") ;;
esac
cmake --build build --target "${targets[@]}" -j"${JOBS:-2}"
if [ ! -x "$PROGRAM" ]; then
  echo "screenshots: $PROGRAM is not built" >&2
  exit 1
fi

OSTRACTL=$PWD/build/platform/ostractl
# shellcheck source=scripts/headless.sh
source scripts/headless.sh

OSTRA_ROOT=$(mktemp -d /tmp/zentrel-screenshots-XXXXXX)
export OSTRA_ROOT
cleanup() {
  "$OSTRACTL" sensor recorder stop >/dev/null 2>&1 || true
  rm -rf "$OSTRA_ROOT"
}
trap cleanup EXIT
# The same pictures on every machine: English texts, a US device, the simulation.
export LANG=en_US.UTF-8 OSTRA_SENSOR=sim OSTRA_SENSOR_SEED=1
unset LC_ALL LANGUAGE
mkdir -p "$OUT"
import_six_hours >/dev/null

operation=$(cache_value ZENTREL_OPERATION_WIDGET_OPEN)
pressure_key=ZENTREL_SETTING_PRESSURE # 0 hPa, 1 inHg, 2 mmHg
work=$OSTRA_ROOT/shots
mkdir -p "$work"

# The first start shows the permission guide; the pages come after it.
shoot "$PROGRAM" "$work/permission-guide.png" 2
"$OSTRACTL" pref set ZENTREL_DATA_PERMISSION_GUIDE_MESSAGE int 1 >/dev/null
"$OSTRACTL" pref set "$pressure_key" int 0 >/dev/null
shoot "$PROGRAM" "$work/launch.png" 0.3
shoot "$PROGRAM" "$work/barometer-hpa.png" 3 "$operation" page=1
"$OSTRACTL" pref set "$pressure_key" int 1 >/dev/null
shoot "$PROGRAM" "$work/barometer-inhg.png" 3 "$operation" page=1

cp "$work"/*.png "$OUT"/

# Screens reached by taps: the screen tests drive them and save their pictures.
TEST_SHOTS=(calibration_list_off calibration_list_on calibration_alti_m calibration_alti_ft
            calibration_slp_hpa calibration_slp_inhg calibration_slp_mmhg calibration_entry
            help_list help_altimeter help_barometer help_alerts help_indicator)
cmake --build build --target app_tests -j"${JOBS:-2}"
LANG=C.UTF-8 build/tests/app/app_tests --gtest_filter='CalibrationTest.*:HelpTest.*' >/dev/null 2>&1
for shot in "${TEST_SHOTS[@]}"; do
  cp "build/screenshots/$shot.png" "$OUT/${shot//_/-}.png"
done
# The settings page from the program; the menu, pickers and popups from the
# settings tests, one process per test (each test has its own store).
"$OSTRACTL" pref set "$pressure_key" int 0 >/dev/null
shoot "$PROGRAM" "$work/settings.png" 3 "$operation" page=2
cp "$work/settings.png" "$OUT/"
SETTING_SHOTS=(setting_menu_top setting_menu_scrolled setting_pressure_picker
               setting_distance_picker setting_agreement setting_agreement_china
               setting_service_provider setting_location_popup setting_location_failed setting_toast)
cmake --build build --target setting_tests -j"${JOBS:-2}"
for test in $(build/tests/app/setting_tests --gtest_list_tests --gtest_filter='SettingMenuTest.*' |
              awk '/^[A-Za-z]/ { suite = $1 } /^  / { print suite $1 }'); do
  LANG=C.UTF-8 build/tests/app/setting_tests --gtest_filter="$test" >/dev/null 2>&1
done
for shot in "${SETTING_SHOTS[@]}"; do
  cp "build/screenshots/$shot.png" "$OUT/${shot//_/-}.png"
done
# The main screens in the other languages: German, and Arabic with its
# Arabic-Indic digits (Egypt's region format), mirrored.
cmake --build build --target zentrel-widget zentrel-alert ostra-privacy-guide lang_tests \
  -j"${JOBS:-2}"
"$OSTRACTL" pref set ZENTREL_SETTING_ALERT int 1 >/dev/null
for locale in de_DE ar_EG; do
  language=${locale%_*}
  export LANG=$locale.UTF-8
  shoot "$PROGRAM" "$work/lang-$language-altitude.png" 3 "$operation" page=0
  shoot "$PROGRAM" "$work/lang-$language-barometer.png" 3 "$operation" page=1
  shoot "$PROGRAM" "$work/lang-$language-settings.png" 3 "$operation" page=2
  SHOOT_APP_ID=$(cache_value ZENTREL_APP_ID_WIDGET) shoot build/widget/zentrel-widget \
    "$work/lang-$language-widget.png" 3
  SHOOT_APP_ID=$(cache_value ZENTREL_APP_ID_ALERT) shoot build/alert/zentrel-alert \
    "$work/lang-$language-alert.png" 1
  # The platform's helper programs, as the programs launch them.
  feature=Standort
  [ "$language" = ar ] && feature=الموقع
  SHOOT_APP_ID=org.ostra.privacy-guide shoot build/platform/ostra-privacy-guide \
    "$work/lang-$language-privacy-guide.png" 1 \
    http://ostra.org/appcontrol/operation/guide_privacy_setting \
    http://ostra.org/appcontrol/data/name=Zentrel "http://ostra.org/appcontrol/data/feature=$feature"
  SHOOT_APP_ID=com.korvane.linkra-popup shoot build/platform/ostra-connection-popup \
    "$work/lang-$language-connection-popup.png" 1 http://ostra.org/appcontrol/operation/default \
    http://korvane.com/appcontrol/data/connection_type=wifi_connect
  cp "$work"/lang-"$language"-*.png "$OUT"/
done
export LANG=en_US.UTF-8
for test in LanguageKeySetWithOstractlGivesGermanScreensLeftToRight \
            ArabicFromLangMirrorsScreensButNotThePagerAndKeepsNumbersDigits; do
  LANG=C.UTF-8 build/tests/lang/lang_tests --gtest_filter="LanguageTest.$test" >/dev/null 2>&1
done
for language in de ar; do
  for shot in setting-menu calibration-list help-list; do
    cp "build/screenshots/lang-$language-$shot.png" "$OUT/"
  done
done
echo "screenshots of $PROGRAM written to $OUT/: permission-guide.png launch.png barometer-hpa.png barometer-inhg.png and the screen tests' pictures"
