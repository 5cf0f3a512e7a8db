#!/usr/bin/env bash
# Benchmark of the setup (not a test: it prints figures and judges nothing). Each figure is a
# ratio of two measurements taken in this one run:
#   1. size: setup.exe with the demo package against the same stub built around a 1-byte package;
#   2. install: `setup.exe KORVO=1` against `msiexec /i <the same package> /qn`, in one Wine
#      prefix, alternating, the product removed again after every run (min and median of N runs);
#   3. extraction: ExtractPackage of a 50 MiB package resource against `cp` of the same file into
#      the same folder (min and median of N runs).
# Settings (environment): BENCH_MAIN_BUILD (default build/windows: the ordinary windows preset
# build, made when missing), BENCH_BUILD (default build/bench: the stub build and scratch files),
# BENCH_RUNS (default 5), JOBS (default 2).
set -eu
cd "$(dirname "$0")/.."
root=$PWD
main_build=${BENCH_MAIN_BUILD:-$root/build/windows}
bench=${BENCH_BUILD:-$root/build/bench}
runs=${BENCH_RUNS:-5}
jobs=${JOBS:-2}
[ "$runs" -ge 1 ] || { echo "BENCH_RUNS must be at least 1"; exit 1; }
mkdir -p "$bench"
bench=$(cd "$bench" && pwd)

log() { printf '%s\n' "$*" >&2; }

# --- helpers ---------------------------------------------------------------------------------
now_ns() { date +%s%N; }

# stats <numbers...>: "min median" (the median of an even count is the mean of the middle two).
stats() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
    END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%s %s", v[1], m }'
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) print "n/a"; else printf "%.2f", a / b }'; }

# --- builds ----------------------------------------------------------------------------------
log "== builds"
if [ ! -f "$main_build/CMakeCache.txt" ]; then
  cmake --preset windows -B "$main_build" >/dev/null
fi
cmake --build "$main_build" -j "$jobs" --target setup demo_package >/dev/null
setup_exe="$main_build/setup.exe"
package=$(sed -n 's/^ID_MSI BINARY "\(.*\)"$/\1/p' "$main_build/tools/installer2/setup/resources/package.rc")
[ -f "$setup_exe" ] && [ -f "$package" ] || { echo "no setup.exe or package in $main_build"; exit 1; }

# The same stub around a 1-byte package: what the setup costs without its payload.
printf 'x' >"$bench/tiny-package.bin"
if [ ! -f "$bench/stub/CMakeCache.txt" ]; then
  cmake --preset windows -B "$bench/stub" -DSETUP_PACKAGE="$bench/tiny-package.bin" >/dev/null
fi
cmake --build "$bench/stub" -j "$jobs" --target setup >/dev/null
stub_exe="$bench/stub/setup.exe"

# The extraction timer: ExtractPackage of the library under test on a resource of its own.
big="$bench/package-50MiB.bin"
if [ ! -f "$big" ] || [ "$(stat -c %s "$big")" -ne $((50 * 1024 * 1024)) ]; then
  head -c $((50 * 1024 * 1024)) /dev/urandom >"$big"
fi
timer_dir="$bench/extract-timer"
mkdir -p "$timer_dir"
cat >"$timer_dir/extract_timer.rc" <<EOF
LANGUAGE 0x09, 0x01
ID_MSI BINARY "$big"
EOF
cat >"$timer_dir/extract_timer.cc" <<'EOF'
// Times ExtractPackage of this program's own "ID_MSI" resource to argv[1], argv[2] times; prints
// one duration in milliseconds a line.
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "setup/install/package_extraction_win32.h"
#include "setup/win32_text.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  const std::u16string path = pelko::setup::FromWide(argv[1]);
  const int runs = static_cast<int>(wcstol(argv[2], nullptr, 10));
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  for (int i = 0; i < runs; ++i) {
    DeleteFileW(argv[1]);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    bool ok = pelko::setup::ExtractPackage(u"ID_MSI", u"BINARY", path);
    QueryPerformanceCounter(&end);
    if (!ok) return 1;
    std::printf("%.3f\n", static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
                              static_cast<double>(frequency.QuadPart));
  }
  DeleteFileW(argv[1]);
  return 0;
}
EOF
if [ ! -f "$timer_dir/extract_timer.exe" ] || [ "$timer_dir/extract_timer.exe" -ot "$big" ] ||
   [ "$timer_dir/extract_timer.exe" -ot "$main_build/tools/installer2/setup/libsetup_win32.a" ]; then
  x86_64-w64-mingw32-windres "$timer_dir/extract_timer.rc" -O coff -o "$timer_dir/extract_timer.res.o"
  x86_64-w64-mingw32-g++ -std=c++17 -O2 -municode -static -DUNICODE -D_UNICODE \
    -I "$root/tools/installer2" "$timer_dir/extract_timer.cc" "$timer_dir/extract_timer.res.o" \
    "$main_build/tools/installer2/setup/libsetup_win32.a" \
    "$main_build/tools/installer2/setup/libsetup_core.a" \
    -Wl,--file-alignment,4096 -o "$timer_dir/extract_timer.exe"
fi

# --- Wine ------------------------------------------------------------------------------------
export WINEPREFIX="$bench/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  log "== making the Wine prefix"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
# One server for every run, so none of them pays for its start.
wineserver -p
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
work_unix="$WINEPREFIX/drive_c/bench"
mkdir -p "$work_unix"
cp "$setup_exe" "$work_unix/setup.exe"
cp "$package" "$work_unix/package.msi"
# A warm start, so the first timed run does not load Wine's libraries from disk.
wine cmd /c exit >/dev/null 2>&1 || true

remove_product() { wine msiexec /x 'C:\bench\package.msi' /qn >/dev/null 2>&1 || true; }

# timed <command...>: runs it, prints the seconds it took; fails when the command fails.
timed() {
  local start end
  start=$(now_ns)
  "$@" >/dev/null 2>&1 || { log "failed: $*"; return 1; }
  end=$(now_ns)
  awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }'
}

# --- 1. size ---------------------------------------------------------------------------------
setup_size=$(stat -c %s "$setup_exe")
stub_size=$(stat -c %s "$stub_exe")
package_size=$(stat -c %s "$package")

# --- 2. install ------------------------------------------------------------------------------
log "== install, $runs runs each"
remove_product
setup_times=()
msiexec_times=()
for ((i = 1; i <= runs; i++)); do
  setup_times+=("$(timed wine 'C:\bench\setup.exe' KORVO=1)")
  remove_product
  # The same properties as the managed run hands to the package.
  msiexec_times+=("$(timed wine msiexec /i 'C:\bench\package.msi' /qn DESKTOPSHORTCUT=1 KORVO=1)")
  remove_product
  log "   run $i: setup.exe ${setup_times[-1]} s, msiexec ${msiexec_times[-1]} s"
done
read -r setup_min setup_median <<<"$(stats "${setup_times[@]}")"
read -r msiexec_min msiexec_median <<<"$(stats "${msiexec_times[@]}")"

# --- 3. extraction ---------------------------------------------------------------------------
log "== extraction of 50 MiB, $runs runs each"
cp "$timer_dir/extract_timer.exe" "$work_unix/extract_timer.exe"
mapfile -t extract_times < <(wine 'C:\bench\extract_timer.exe' 'C:\bench\extracted.msi' "$runs" |
                             tr -d '\r')
[ "${#extract_times[@]}" -eq "$runs" ] || { echo "the extraction timer failed"; exit 1; }
cp_times=()
for ((i = 1; i <= runs; i++)); do
  rm -f "$work_unix/copied.msi"
  start=$(now_ns)
  cp "$big" "$work_unix/copied.msi"
  end=$(now_ns)
  cp_times+=("$(awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e6 }')")
done
rm -f "$work_unix/copied.msi"
read -r extract_min extract_median <<<"$(stats "${extract_times[@]}")"
read -r cp_min cp_median <<<"$(stats "${cp_times[@]}")"

# --- report ----------------------------------------------------------------------------------
echo "size: setup.exe $setup_size B (package $package_size B), stub with a 1-byte package" \
     "$stub_size B; setup.exe/stub $(ratio "$setup_size" "$stub_size")," \
     "(setup.exe - package)/stub $(ratio $((setup_size - package_size)) "$stub_size")"
echo "install: setup.exe KORVO=1 min $setup_min s median $setup_median s; msiexec /i /qn" \
     "min $msiexec_min s median $msiexec_median s; ratio min $(ratio "$setup_min" "$msiexec_min")" \
     "median $(ratio "$setup_median" "$msiexec_median")"
echo "extraction (50 MiB): ExtractPackage min $extract_min ms median $extract_median ms; cp" \
     "min $cp_min ms median $cp_median ms; ratio min $(ratio "$extract_min" "$cp_min")" \
     "median $(ratio "$extract_median" "$cp_median")"
