#!/usr/bin/env bash
# Remakes docs/screenshots/: the real program under Xvfb, fed by its built-in demo capture, pictured at
# the main menu and on each page (the program's --screenshots tour). Builds what it needs first.
#   CORVANE_BUILD_DIR    build folder (default build/)
#   CORVANE_SHOT_DELAY   seconds of demo before the first picture (default 25: the heart rate settles)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVANE_BUILD_DIR:-$root/build}
out="$root/docs/screenshots"

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${CORVANE_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build "$build" --parallel "${CORVANE_JOBS:-$(nproc)}" --target corvane ostrel

data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
mkdir -p "$out"
# A fixed wall clock, so the pictures do not change with the day they were taken.
xvfb-run -a -s "-screen 0 1280x800x24" \
  "$build/bin/corvane" --demo --data-dir "$data" --start 2026-12-08T10:20:00 \
  --screenshots "$out" --screenshot-delay "${CORVANE_SHOT_DELAY:-25}"
echo "screenshots: $out"
