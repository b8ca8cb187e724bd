#!/usr/bin/env bash
# Remakes docs/screenshots/: the real program under Xvfb, fed by its built-in demo capture, pictured at
# the main menu and on each page (the program's --screenshots tour), in Japanese and in English (the
# files ending in _en). Builds what it needs first.
#   CORVANE_BUILD_DIR    build folder (default build/)
#   CORVANE_SHOT_DELAY   seconds of demo before the first picture (default 12: clicks counted; the heart
#                        page's pictures wait for their states themselves)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVANE_BUILD_DIR:-$root/build}
out="$root/docs/screenshots"

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${CORVANE_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build "$build" --parallel "${CORVANE_JOBS:-$(nproc)}" --target corvane ostrel

# A demo is no device of the user's: it registers nothing with the server.
export CORVANE_REGISTRATION_URL=${CORVANE_REGISTRATION_URL:-http://127.0.0.1:9}
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
mkdir -p "$out"
# Earlier days for the status page's month and chosen-day pictures and for the list of heart rates: the
# demo capture replayed headless on days before the pictured one (three and five days back).
for day in 2026-12-03T08:40:00 2026-12-05T15:10:00; do
  "$build/bin/corvane" --headless --fast --replay "$root/src/app/resources/demo/demo.capture" \
    --data-dir "$data" --start "$day" 2>/dev/null
done
# Some alerts set, so that the export page and the alert settings page show them.
cat >>"$data/set.ini" <<'INI'
[Alert]
check_bt=1
ab_time=1
ab_count=1000
check_move=1
move_time=2
move_distance=100
check_alert_hr_opt=1
check_hr_everyday=1
hr_hour_count=3
hr_hour1=9
hr_hour2=13
hr_hour3=17
INI
# The English tour starts from the same saved days as the Japanese one.
data_en=$(mktemp -d)
trap 'rm -rf "$data" "$data_en"' EXIT
cp -a "$data/." "$data_en/"
# A fixed wall clock, so the pictures do not change with the day they were taken; the Japanese pictures
# (main_menu.png, ...) and the English ones (main_menu_en.png, ...).
for run in "ja $data" "en $data_en"; do
  set -- $run
  xvfb-run -a -s "-screen 0 1280x800x24" \
    "$build/bin/corvane" --demo --lang "$1" --data-dir "$2" --start 2026-12-08T10:20:00 \
    --screenshots "$out" --screenshot-delay "${CORVANE_SHOT_DELAY:-12}"
done
echo "screenshots: $out"
