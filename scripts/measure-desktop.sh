#!/usr/bin/env bash
# Measures what the desktop program costs a user's desktop: CPU (share of one core, from /proc/PID/stat)
# and resident memory, under Xvfb with a stand-in tray, in three situations:
#   idle       the window at the main menu, no sensor mouse
#   hidden     hidden in the tray while the sensor streams (21.7 reports a second)
#   heart      the heart-rate page shown while the sensor streams
# The streaming is the demo capture (a real PPG recording, the thumb resting from 2 s to 90 s) played in
# real time with --replay. Give several program folders to see their figures side by side, e.g. a build
# of main and one of a branch.
#   bash scripts/measure-desktop.sh [PROGRAM_FOLDER...]     (default build/bin)
#   CORVANE_MEASURE_SECONDS   seconds sampled per situation (default 25, after 8 s of warming up)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
folders=("$@")
[ ${#folders[@]} -gt 0 ] || folders=("$root/build/bin")
seconds=${CORVANE_MEASURE_SECONDS:-25}
warm_up=8

for p in xvfb libx11-dev; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$p"
  fi
done
for f in "${folders[@]}"; do
  [ -x "$f/corvane" ] || { echo "measure-desktop: no program in $f" >&2; exit 2; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

cc -O2 -o "$work/tray_owner" "$root/tools/measure-desktop/tray_owner.c" -lX11
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$work/display")
"$work/tray_owner" >"$work/tray.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do grep -q ready "$work/tray.log" 2>/dev/null && break; sleep 0.1; done

# The capture that streams with the window hidden lacks the report that brings the heart page up.
capture="$root/src/app/resources/demo/demo.capture"
grep -v ' hid 0008080e' "$capture" >"$work/no-page.capture"

export CORVANE_REGISTRATION_URL=http://127.0.0.1:9  # a measurement registers no device
export QT_QPA_PLATFORM=xcb
ticks_per_second=$(getconf CLK_TCK)

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# Prints "<cpu % of a core> <rss MB>" for one run of the program with the given arguments.
measure() {
  local program=$1
  shift
  local data
  data=$(mktemp -d "$work/data.XXXX")
  "$program" --data-dir "$data" "$@" >/dev/null 2>&1 &
  local pid=$!
  sleep "$warm_up"
  kill -0 "$pid" 2>/dev/null || { echo "measure-desktop: $program $* ended early" >&2; exit 1; }
  local before after
  before=$(cpu_ticks "$pid")
  sleep "$seconds"
  after=$(cpu_ticks "$pid")
  local rss_kb
  rss_kb=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")
  "$program" /close --data-dir "$data" >/dev/null 2>&1 || kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  awk -v t=$((after - before)) -v hz="$ticks_per_second" -v s="$seconds" -v rss="$rss_kb" \
    'BEGIN { printf "%.2f %.1f\n", 100 * t / hz / s, rss / 1024 }'
}

declare -A cpu rss
situations=(idle hidden heart)
for f in "${folders[@]}"; do
  for s in "${situations[@]}"; do
    case $s in
      idle) args=() ;;
      hidden) args=(--hide --replay "$work/no-page.capture") ;;
      heart) args=(--replay "$capture") ;;
    esac
    read -r c r < <(measure "$f/corvane" "${args[@]}")
    cpu[$f,$s]=$c
    rss[$f,$s]=$r
  done
done

printf '%-44s' "situation (${seconds} s each)"
for f in "${folders[@]}"; do printf '  %-26s' "$(basename "$(dirname "$f")")/$(basename "$f")"; done
printf '\n'
for s in "${situations[@]}"; do
  printf '%-44s' "$s"
  for f in "${folders[@]}"; do printf '  %6s %% CPU  %7s MB RSS ' "${cpu[$f,$s]}" "${rss[$f,$s]}"; done
  printf '\n'
done
