#!/usr/bin/env bash
# Cross-builds everything of Corvane that needs no Qt for Windows with Debian's MinGW-w64: ostrel.dll,
# corvane.exe (headless), the tools and the tests land in BUILD_DIR/bin/.
# usage: build-windows.sh x86_64|i686 [BUILD_DIR [TARGET...]]   (default BUILD_DIR: build-windows-ARCH/;
#        the targets named, or all)
# Run the tests with scripts/test-windows.sh (under Wine).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=${1:-}
case "$arch" in
  x86_64) compilers=g++-mingw-w64-x86-64-posix ;;
  i686) compilers=g++-mingw-w64-i686-posix ;;
  *) echo "usage: $0 x86_64|i686 [BUILD_DIR]" >&2; exit 2 ;;
esac
build=${2:-$root/build-windows-$arch}
shift $(($# < 2 ? $# : 2))
targets=()
[ $# -gt 0 ] && targets=(--target "$@")

# googletest: its sources, compiled with the cross compiler for the tests; nlohmann-json3-dev: headers
# only, shared with the host. wine runs the tests (64-bit only: 32-bit Wine needs Debian's i386
# architecture, which this script does not add).
packages=(cmake ninja-build "$compilers" googletest nlohmann-json3-dev wine wine64)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "build-windows: missing packages: ${missing[*]} (install them as root)" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-$arch.cmake" \
  -DCMAKE_BUILD_TYPE="${CORVANE_BUILD_TYPE:-RelWithDebInfo}" \
  -DCORVANE_BUILD_GUI=OFF -DCORVANE_BUILD_BENCH=OFF -DCORVANE_WERROR=ON >/dev/null
cmake --build "$build" --parallel "${CORVANE_JOBS:-$(nproc)}" "${targets[@]}"
