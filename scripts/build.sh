#!/usr/bin/env bash
# Configures and builds Corvane into a build folder (default build/; CORVANE_BUILD_DIR overrides).
# Extra arguments go to CMake's configure step, e.g. -DCORVANE_SANITIZE=ON.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVANE_BUILD_DIR:-$root/build}
build_type=${CORVANE_BUILD_TYPE:-RelWithDebInfo}

# Warnings are errors here (development and CI); a packager's build leaves CORVANE_WERROR off.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" -DCORVANE_WERROR=ON "$@" >/dev/null
cmake --build "$build" --parallel "${CORVANE_JOBS:-$(nproc)}"
