#!/usr/bin/env bash
# Every test of the project: the portable tests natively with ASan and UBSan, the fuzzers for a
# bounded time, then the Windows build with its Windows-side and end-to-end tests under Wine.
set -eu
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-$(nproc)}
fuzz_seconds=${FUZZ_SECONDS:-20}

bash scripts/install-deps.sh

echo "== native build and tests"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs"

echo "== fuzzers (${fuzz_seconds}s each)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
for fuzzer in $(find build/fuzz -maxdepth 4 -type f -name '*_fuzzer' -perm -u+x | sort); do
  name=$(basename "$fuzzer")
  corpus=$(mktemp -d)
  # Seeded from the corpus that scripts/fuzz.sh starts its campaigns from.
  seeds=tools/installer2/setup/fuzz_corpus/$name
  if [ -d "$seeds" ]; then cp "$seeds"/* "$corpus"/; fi
  echo "-- $name"
  "$fuzzer" -max_total_time="$fuzz_seconds" -print_final_stats=0 "$corpus" >"build/fuzz/$name.log" 2>&1 || {
    tail -n 60 "build/fuzz/$name.log"
    echo "$name failed"
    exit 1
  }
  rm -rf "$corpus"
done

echo "== windows build, Windows-side and end-to-end tests under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"

# Windows need a display: a private Xvfb unless one is given.
if [ -z "${DISPLAY:-}" ]; then
  source scripts/xvfb.sh
  trap 'if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi' EXIT
  start_xvfb 1280x1024
fi
# The Windows-side tests share one prefix, made afresh here before they start in parallel.
export SETUP_TEST_WINEPREFIX="$root/build/windows/wineprefix-unit"
rm -rf "$SETUP_TEST_WINEPREFIX"
bash scripts/wine-run.sh cmd /c exit 0 >/dev/null 2>&1 || true
WINEPREFIX="$SETUP_TEST_WINEPREFIX" wineserver -w
ctest --preset windows -j "$jobs"
