#!/usr/bin/env bash
# Builds the Debian package corvane_<version>_<arch>.deb: a packager's build (Debian's hardening flags,
# warnings not fatal, no tests or benchmarks) of the program, libostrel.so and corvane-capture, packed by
# CPack. Installs what it needs with apt-get first (as root). Prints the path of the .deb as its last line.
#   bash scripts/build-deb.sh [BUILD_DIR] [CMake options...]     (BUILD_DIR default: build-deb/)
#   CORVANE_JOBS   parallel build jobs (default: all cores)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-deb}
shift $(($# > 0 ? 1 : 0))
mkdir -p "$build"
build=$(cd "$build" && pwd)

bash "$root/scripts/install-deps.sh"
# dpkg-shlibdeps (dpkg-dev) computes the dependencies from the binaries; CPack finds them with file.
missing=()
for p in dpkg-dev file; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The flags every Debian package is built with (fortify, stack protector, full RELRO, PIE), with the
# paths of this machine left out of the debug information.
cd "$root"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
eval "$(dpkg-buildflags --export=sh)"
export CXXFLAGS="$CPPFLAGS $CXXFLAGS" CFLAGS="$CPPFLAGS $CFLAGS"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DCORVANE_WERROR=OFF -DCORVANE_BUILD_TESTS=OFF -DCORVANE_BUILD_BENCH=OFF \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON "$@" >/dev/null
# Only what the package holds.
cmake --build "$build" --parallel "${CORVANE_JOBS:-$(nproc)}" \
  --target corvane ostrel corvane-capture corvane_package_documents

rm -f "$build"/corvane_*.deb
(cd "$build" && cpack -G DEB -C RelWithDebInfo >/dev/null)
deb=$(ls "$build"/corvane_*.deb)
echo "$deb"
