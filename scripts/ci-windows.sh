#!/usr/bin/env bash
# CI's Windows stage, on Debian with MinGW-w64 and Wine: the Qt-free program, tools and tests for
# 64-bit Windows, run under Wine; ostrel.dll for 32-bit Windows with its exports and objects checked;
# and the 64-bit ostrel-eval.exe under Wine scoring data/ppg exactly as the Linux build does.
# usage: ci-windows.sh        (as root on a fresh machine: the build scripts install what they need)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
started=$SECONDS

echo "-- Windows x86-64: build"
bash scripts/build-windows.sh x86_64 build-windows-x86_64
echo "-- Windows x86-64: tests under Wine"
bash scripts/test-windows.sh x86_64 build-windows-x86_64

echo "-- Windows i686: ostrel.dll, its exports and objects"
bash scripts/build-windows.sh i686 build-windows-i686 ostrel
ctest --test-dir build-windows-i686 --output-on-failure -R '^ostrel_(dll_|calls_no_allocator)'

echo "-- ostrel-eval: the DLL under Wine against the Linux library"
linux_eval=${CORVANE_BUILD_DIR:-$root/build}/bin/ostrel-eval
if [ ! -x "$linux_eval" ]; then
  # Only the detection library and the evaluation tool, when no Linux build is at hand.
  cmake -S . -B build-eval-linux -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_ONLY_DETECTION=ON \
    -DCORVANE_BUILD_TESTS=OFF -DCORVANE_BUILD_GUI=OFF -DCORVANE_BUILD_BENCH=OFF >/dev/null
  cmake --build build-eval-linux --parallel "${CORVANE_JOBS:-$(nproc)}" --target ostrel-eval
  linux_eval=$root/build-eval-linux/bin/ostrel-eval
fi
export WINEPREFIX=$root/build-windows-x86_64/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineserver -p || true  # one already running for this prefix serves as well
trap 'wineserver -k || true' EXIT
"$linux_eval" data/ppg >build-windows-x86_64/eval-linux.txt
# The C runtime writes text with CR-LF line ends on Windows; the figures are what must agree.
wine build-windows-x86_64/bin/ostrel-eval.exe data/ppg | tr -d '\r' >build-windows-x86_64/eval-windows.txt
if ! diff build-windows-x86_64/eval-linux.txt build-windows-x86_64/eval-windows.txt; then
  echo "ci-windows: ostrel-eval scores differ between Linux and Windows" >&2
  exit 1
fi
echo "ostrel-eval: $(wc -l <build-windows-x86_64/eval-linux.txt) lines, identical"
echo "ci-windows: $((SECONDS - started)) s"
