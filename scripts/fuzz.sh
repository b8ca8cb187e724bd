#!/usr/bin/env bash
# Builds the fuzz targets (tests/fuzz) with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for a bounded time on its seed corpus.
# Fails on any crash, leak, timeout or runaway memory, and prints the executions per target.
#
#   bash scripts/fuzz.sh [SECONDS_EACH] [TARGET...]     (default 20 s each, every target)
#
# Inputs found to reach new code collect in build-fuzz/corpus/<target>/ and are reused by the next run,
# so longer or repeated runs go deeper; a failing input is kept in build-fuzz/findings/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVANE_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-20}
shift || true

# clang with its libFuzzer runtime, and what the libraries under test build with.
bash "$root/scripts/install-deps.sh"
if ! command -v clang++-14 >/dev/null || ! compgen -G "/usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "fuzz: clang-14 and libclang-rt-14-dev are missing; install them as root" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends clang-14 libclang-rt-14-dev
fi

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Only the Qt-free libraries the targets link are built. Warnings do not stop this build: GCC's are
# the ones the project keeps at zero, and clang's extra ones would only hide what the fuzzers find.
CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCORVANE_FUZZ=ON -DCORVANE_BUILD_GUI=OFF -DCORVANE_BUILD_TESTS=OFF -DCORVANE_BUILD_BENCH=OFF \
  -DCORVANE_WERROR=OFF "${launcher[@]}" >/dev/null
cmake --build "$build" --parallel "${CORVANE_JOBS:-$(nproc)}" --target fuzz_targets

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for seeds in "$root"/tests/fuzz/corpus/*/; do
    targets+=("fuzz_$(basename "$seeds")")
  done
fi

mkdir -p "$build/findings"
failed=()
for target in "${targets[@]}"; do
  name=${target#fuzz_}
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  log="$build/findings/$name.log"
  # The first folder takes what the run finds; the seeds in the repository stay as they are.
  if "$build/bin/$target" "$corpus" "$root/tests/fuzz/corpus/$name" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
      -print_final_stats=1 -artifact_prefix="$build/findings/$name-" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    printf 'fuzz: %-18s %10s executions in %s s, no finding\n' "$name" "${runs:-?}" "$seconds"
  else
    failed+=("$name")
    echo "fuzz: $name FAILED; its log:" >&2
    tail -n 60 "$log" >&2
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: findings in: ${failed[*]} (inputs in $build/findings/)" >&2
  exit 1
fi
