#!/usr/bin/env bash
# Installs what is needed, builds the program and runs its demo: the desktop program fed by a built-in
# capture (a real PPG recording plus clicks and cursor travel), so it can be seen working without the
# sensor mouse. The demo keeps its day files in build/demo-data, never in your real data folder.
# Without a display it runs under Xvfb for half a minute, saves pictures of the main menu and of each
# page and prints where they are.
#   CORVANE_BUILD_DIR   build folder (default build/)
#   CORVANE_JOBS        parallel build jobs (default: all cores)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVANE_BUILD_DIR:-$root/build}

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${CORVANE_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
# The program and the detection library it loads from its own folder.
cmake --build "$build" --parallel "${CORVANE_JOBS:-$(nproc)}" --target corvane ostrel

# A demo is no device of the user's: it registers nothing with the server.
export CORVANE_REGISTRATION_URL=${CORVANE_REGISTRATION_URL:-http://127.0.0.1:9}
data="$build/demo-data"
mkdir -p "$data"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "run-demo: starting the demo (end it from the tray menu's Quit or by closing the window)"
  exec "$build/bin/corvane" --demo --data-dir "$data"
fi

shots="$build/demo-screenshots"
echo "run-demo: no display; running the demo under Xvfb for about 30 seconds"
xvfb-run -a -s "-screen 0 1280x800x24" \
  "$build/bin/corvane" --demo --data-dir "$data" --screenshots "$shots" --screenshot-delay 25
echo "run-demo: screenshots of the demo are in $shots"
