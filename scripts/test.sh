#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test.
# CORVANE_BUILD_DIR picks the build folder; extra arguments go to CMake (e.g. -DCORVANE_SANITIZE=ON).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVANE_BUILD_DIR:-$root/build}

bash "$root/scripts/install-deps.sh"
CORVANE_BUILD_DIR=$build bash "$root/scripts/build.sh" "$@"
cd "$build"
ctest --output-on-failure --parallel "${CORVANE_JOBS:-$(nproc)}" --timeout 600
