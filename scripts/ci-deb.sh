#!/usr/bin/env bash
# CI stage for the Debian package: builds it, checks it with lintian, installs it with apt-get as a user
# would, runs the program from PATH, checks its desktop entry and AppStream metadata where they were
# installed, removes it again and checks that none of its files is left. Runs as root.
#   bash scripts/ci-deb.sh [BUILD_DIR]     (default build-deb/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-deb}
started=$(date +%s)

export DEBIAN_FRONTEND=noninteractive
checkers=(lintian appstream desktop-file-utils)
missing=()
for p in "${checkers[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

deb=$(bash "$root/scripts/build-deb.sh" "$build" | tail -n 1)
echo "ci-deb: built $deb"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'

echo "ci-deb: lintian"
lintian --fail-on error,warning --display-info "$deb"

if dpkg-query -W -f='${Status}' corvane 2>/dev/null | grep -q 'install ok installed'; then
  echo "ci-deb: corvane is installed already; this stage needs a machine without it" >&2
  exit 1
fi
apt-get install -y -qq "$(dirname "$deb")/$(basename "$deb")"
files=$(dpkg -L corvane)

echo "ci-deb: run from PATH"
[ "$(command -v corvane)" = /usr/bin/corvane ] || { echo "ci-deb: corvane is not on PATH" >&2; exit 1; }
corvane --help | grep -q -- '--export-csv'
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A data folder with one measured heart rate, so the export has something to write.
mkdir "$work/data"
printf '{"heartRate_0":72,"heart_log_ver":2,"logTime_0":1796725200}' >"$work/data/HeartRateLog.txt"
CORVANE_REGISTRATION_URL=http://127.0.0.1:9 corvane --export-csv "$work/export.csv" --data-dir "$work/data"
grep -q '72' "$work/export.csv" || { echo "ci-deb: the export lacks the heart rate" >&2; cat "$work/export.csv" >&2; exit 1; }
man -w corvane >/dev/null

echo "ci-deb: validate the installed metadata"
appstreamcli validate --no-net /usr/share/metainfo/jp.corvane.Corvane.metainfo.xml
desktop-file-validate /usr/share/applications/corvane.desktop

echo "ci-deb: remove"
apt-get remove -y -qq corvane
left=0
while IFS= read -r f; do
  # Shared folders (/usr, /usr/share, ...) stay; everything the package brought must be gone.
  if [ -e "$f" ] || [ -L "$f" ]; then
    if [ -d "$f" ] && [ ! -L "$f" ] && [ -n "$(ls -A "$f")" ]; then continue; fi
    if [ -d "$f" ] && dpkg -S "$f" >/dev/null 2>&1; then continue; fi
    echo "ci-deb: left after removal: $f" >&2
    left=1
  fi
done <<<"$files"
[ "$left" -eq 0 ]
echo "ci-deb: the package builds, installs, runs and leaves nothing behind ($(($(date +%s) - started)) s)"
