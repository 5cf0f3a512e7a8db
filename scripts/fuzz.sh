#!/usr/bin/env bash
# A fuzzing campaign: builds the fuzz preset and runs every fuzz target for a while, each from the
# seeds kept in tools/installer2/setup/fuzz_corpus/<target>/, and prints per target the executions,
# the coverage (libFuzzer's cov and ft counts at the end) and the crashes.
#
#   scripts/fuzz.sh [seconds per target]      (default 600)
#
# FUZZ_BUILD_DIR   build directory of the fuzz preset (default build/fuzz)
# FUZZ_WORK_DIR    scratch folder for the growing corpora, logs and crash inputs
#                  (default <build dir>/campaign); the seeds in the repository are never written
# FUZZ_PARALLEL    targets run at the same time (default 1); each runs in one process
# FUZZ_TARGETS     names of the targets to run, separated by blanks (default all)
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-600}
build=${FUZZ_BUILD_DIR:-build/fuzz}
work=${FUZZ_WORK_DIR:-$build/campaign}
parallel=${FUZZ_PARALLEL:-1}
seeds=tools/installer2/setup/fuzz_corpus

cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null
mkdir -p "$work"

targets=()
for fuzzer in $(find "$build" -maxdepth 4 -type f -name '*_fuzzer' -perm -u+x | sort); do
  name=$(basename "$fuzzer")
  if [ -n "${FUZZ_TARGETS:-}" ] && [[ " $FUZZ_TARGETS " != *" $name "* ]]; then continue; fi
  targets+=("$fuzzer")
done
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets in $build"; exit 1; }

# One target: a scratch corpus started from the seeds; libFuzzer stops at the first crash and
# leaves the input that caused it beside the log.
run_target() {
  local fuzzer=$1 name dir
  name=$(basename "$fuzzer")
  dir="$work/$name"
  rm -rf "$dir"
  mkdir -p "$dir/corpus" "$dir/artifacts"
  if [ -d "$seeds/$name" ]; then cp "$seeds/$name"/* "$dir/corpus"/; fi
  "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$dir/artifacts/" \
    "$dir/corpus" >"$dir/log" 2>&1 || true
}

echo "== fuzzing ${#targets[@]} targets for ${seconds}s each, $parallel at a time, in $work"
for fuzzer in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$parallel" ]; do wait -n || true; done
  echo "-- $(date -u +%H:%M:%S) $(basename "$fuzzer")"
  run_target "$fuzzer" &
done
wait

# The figures of each target, read from libFuzzer's final lines.
failed=0
printf '%-28s %12s %8s %8s %8s %8s %8s %6s\n' target executions exec/s cov ft corpus crashes slow
for fuzzer in "${targets[@]}"; do
  name=$(basename "$fuzzer")
  dir="$work/$name"
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -n 1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$dir/log" | tail -n 1)
  last=$(grep -E '^#[0-9]+' "$dir/log" | grep ' cov: ' | tail -n 1)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  corpus=$(find "$dir/corpus" -type f | wc -l)
  # A slow unit is only reported: on a shared machine it is as often a stall as a slow input.
  crashes=$(find "$dir/artifacts" -type f ! -name 'slow-unit-*' | wc -l)
  slow=$(find "$dir/artifacts" -type f -name 'slow-unit-*' | wc -l)
  printf '%-28s %12s %8s %8s %8s %8s %8s %6s\n' "$name" "${executions:-?}" "${speed:-?}" \
    "${cov:-?}" "${ft:-?}" "$corpus" "$crashes" "$slow"
  if [ "$crashes" -ne 0 ] || [ -z "$executions" ]; then failed=1; fi
done
if [ "$failed" -ne 0 ]; then
  for fuzzer in "${targets[@]}"; do
    dir="$work/$(basename "$fuzzer")"
    found=$(find "$dir/artifacts" -type f ! -name 'slow-unit-*')
    if [ -n "$found" ] || ! grep -q '^stat::number_of_executed_units' "$dir/log"; then
      echo "== $(basename "$fuzzer"): see $dir/log"
      grep -E 'ERROR|runtime error|SUMMARY|Test unit written' "$dir/log" | head -n 10 || true
    fi
  done
  exit 1
fi
