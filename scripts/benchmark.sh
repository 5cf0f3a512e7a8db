#!/usr/bin/env bash
# Benchmark of the setup (not a test: it prints figures and judges nothing). Each figure is a
# ratio of two measurements taken in this one run:
#   1. size: setup.exe with the demo package against the same stub built around the smallest real
#      package, and the stub (setup.exe minus its package) against its 384 KiB budget;
#   2. install: four programs install the same package in one warm Wine prefix, in interleaved
#      rounds (each round starts with the next program), the product removed after every install:
#      `setup.exe KORVO=1`; the floor, a minimal bootstrapper (scripts/bench/floor_setup.cc: one
#      write of its package resource, MsiSetInternalUI(INSTALLUILEVEL_NONE), MsiInstallProductW);
#      the floor with the setup's verbose log (floor_log); and `msiexec /i <package> /qn`. All
#      four hand the package `DESKTOPSHORTCUT=1 KORVO=1`. Two sizes: the demo package (small) and
#      a demo-like package with a 50 MiB payload (large), each with a setup built around it.
#      Printed per size: each program's median wall time and CPU time (its own processes plus
#      the prefix's wineserver; other load on the machine disturbs it far less than the wall
#      time), and the medians of the per-round ratios setup/floor, setup/floor_log,
#      msiexec/floor and floor_log/floor (the log's own cost) of both, with their quartiles,
#      whose spread is the machine's noise. BENCH_ROUNDS=5 gives a quick look;
#   3. extraction: ExtractPackage of a 50 MiB package resource (written, held and checked
#      against the resource, and once more without the check) against `cp` of the same file into
#      the same folder (min and median of N runs), and the timer's peak memory;
#   4. time to dialog: setup.exe's interactive start against the barest one-dialog program, and
#      against that program with the libraries the setup loads before its dialog, from process
#      creation to the dialog visible and answering (scripts/bench/time_to_dialog.sh, which also
#      runs alone; BENCH_DIALOG_ROUNDS rounds, default 25).
# Settings (environment): BENCH_MAIN_BUILD (default build/windows: the ordinary windows preset
# build, made when missing; the setup measured is its setup.exe, and the one around the large
# package is built from the same source tree), BENCH_BUILD (default build/bench: the stub build
# and scratch files), BENCH_RUNS (default 5), BENCH_ROUNDS (install rounds, default 25),
# BENCH_INSTALL_SIZES (default "small large"), JOBS (default 2).
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

# The same stub around the smallest real package (one registry value; the build reads the
# setup's version information from its Property table): what the setup costs without its payload.
tiny_package="$bench/tiny-package.msi"
if [ ! -f "$tiny_package" ]; then
  cat >"$bench/tiny-package.wxs" <<'EOF'
<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="*" Name="Tiny" Language="1033" Version="1.0.0" Manufacturer="Tavrin"
           UpgradeCode="3C8D0E4B-7F21-4A96-B5E3-91D6C2A4F085">
    <Package InstallerVersion="500" Compressed="yes" InstallScope="perUser"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Component Id="Marker" Guid="A1F7C3E9-5B2D-4E80-9C64-0D3B8E5F2A17">
        <RegistryValue Root="HKCU" Key="Software\Tavrin\Tiny" Name="Installed" Type="integer"
                       Value="1" KeyPath="yes"/>
      </Component>
    </Directory>
    <Feature Id="Complete" Level="1"><ComponentRef Id="Marker"/></Feature>
  </Product>
</Wix>
EOF
  wixl -o "$tiny_package" "$bench/tiny-package.wxs" >/dev/null
fi
tiny_package_size=$(stat -c %s "$tiny_package")
cmake --preset windows -B "$bench/stub" -DSETUP_PACKAGE="$tiny_package" >/dev/null
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
// Times ExtractPackage of this program's own "ID_MSI" resource to argv[1], argv[2] times, with
// the check of the held file against the resource or, with argv[3] "no-check", without it;
// prints one duration in milliseconds a line, then "peak <working set> <pagefile>" in bytes.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>

#include "setup/install/package_extraction_win32.h"
#include "setup/win32_text.h"

namespace {
class UncheckedWriter : public pelko::setup::PackageFileWriter {
 protected:
  bool HoldsExactly(HANDLE, const void*, DWORD) override { return true; }
};
}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  const std::u16string path = pelko::setup::FromWide(argv[1]);
  const int runs = static_cast<int>(wcstol(argv[2], nullptr, 10));
  pelko::setup::PackageFileWriter checked;
  UncheckedWriter unchecked;
  pelko::setup::PackageFileWriter& writer =
      wcscmp(argv[3], L"no-check") == 0 ? unchecked : checked;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  for (int i = 0; i < runs; ++i) {
    pelko::setup::ExtractedPackage package;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    bool ok = pelko::setup::ExtractPackage(u"ID_MSI", u"BINARY", path, writer, package);
    QueryPerformanceCounter(&end);
    if (!ok) return 1;
    std::printf("%.3f\n", static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
                              static_cast<double>(frequency.QuadPart));
  }
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory)) return 1;
  std::printf("peak %llu %llu\n", static_cast<unsigned long long>(memory.PeakWorkingSetSize),
              static_cast<unsigned long long>(memory.PeakPagefileUsage));
  return 0;
}
EOF
if [ ! -f "$timer_dir/extract_timer.exe" ] || [ "$timer_dir/extract_timer.exe" -ot "$big" ] ||
   [ "$timer_dir/extract_timer.exe" -ot "$main_build/tools/installer2/setup/libsetup_win32.a" ]; then
  x86_64-w64-mingw32-windres "$timer_dir/extract_timer.rc" -O coff -o "$timer_dir/extract_timer.res.o"
  x86_64-w64-mingw32-g++ -std=c++17 -O2 -municode -static -DUNICODE -D_UNICODE \
    -I "$root/tools/installer2" "$timer_dir/extract_timer.cc" "$timer_dir/extract_timer.res.o" \
    "$main_build/tools/installer2/setup/libsetup_win32.a" \
    "$main_build/tools/installer2/setup/libsetup_core.a" -lpsapi \
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
# Four programs install the same package, one after another in every round, in one warm prefix,
# the product removed after every install: the setup (`setup.exe KORVO=1`); the floor
# (scripts/bench/floor_setup.cc: one write of its package resource, the installer's UI off, one
# install call, nothing else); the floor asking for the setup's verbose log; and
# `msiexec /i <package> /qn`. Each hands the package the properties the managed setup hands it,
# so all four install the same components. Two packages: the demo package, and a demo-like
# package around a 50 MiB payload with a setup built around it from the same source.
rounds=${BENCH_ROUNDS:-25}
install_sizes=${BENCH_INSTALL_SIZES:-small large}
[ "$rounds" -ge 1 ] || { echo "BENCH_ROUNDS must be at least 1"; exit 1; }
install_properties='DESKTOPSHORTCUT=1 KORVO=1'
installed_app="$WINEPREFIX/drive_c/Program Files/Tavrin/Tavrin Pelko/TavrinPelko.exe"
variants=(setup floor floor_log msiexec)

for size in $install_sizes; do
  case $size in
    small | large) ;;
    *) echo "BENCH_INSTALL_SIZES holds small and/or large, not $size"; exit 1 ;;
  esac
done

log "== install: the floor programs, and for the large size the package and a setup around it"
large_package="$bench/package-50MiB.msi"
if [[ " $install_sizes " == *" large "* ]] && [ ! -f "$large_package" ]; then
  stage="$bench/large-package-stage"
  mkdir -p "$stage"
  cp "$main_build/tools/installer2/demo/TavrinPelko.exe" "$stage/TavrinPelko.exe"
  head -c $((50 * 1024 * 1024)) /dev/urandom >"$stage/payload.bin"
  # A product code of its own, so it is never taken for the demo product.
  payload_file='<File Id="Payload" Name="payload.bin" Source="payload.bin"/>'
  sed -e "/<File Id=\"TavrinPelkoExe\"/i $payload_file" \
      -e 's/<Product Id="[^"]*"/<Product Id="{0D4C8B51-7E3A-4F29-B6A1-5C9E2D7F3A84}"/' \
      "$root/tools/installer2/demo/tavrin_pelko_larkin.wxs" >"$stage/large.wxs"
  # The demo package's component conditions: without them the package would leave a launch
  # request that the setup would act on.
  condition="UPDATE \`Component\` SET \`Condition\` = '%s = \"1\"' WHERE \`Component\` = '%s'"
  # shellcheck disable=SC2059
  (cd "$stage" &&
   wixl -a x64 -D AppSource=TavrinPelko.exe -D ProductVersion=1.0.0 -o large.msi.part large.wxs &&
   msibuild large.msi.part -q "$(printf "$condition" DESKTOPSHORTCUT DesktopShortcut)" \
     -q "$(printf "$condition" KORVO_AUTO_LAUNCH LaunchRequest)")
  mv "$stage/large.msi.part" "$large_package"
  rm -f "$stage/payload.bin"
fi
# The setup around the large package comes from the source tree of the build under test.
source_dir=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$main_build/CMakeCache.txt")
large_build="$bench/setup-50MiB-$(printf '%s' "$source_dir" | md5sum | cut -c1-8)"
if [[ " $install_sizes " == *" large "* ]]; then
  if [ ! -f "$large_build/CMakeCache.txt" ]; then
    (cd "$source_dir" &&
     cmake --preset windows -B "$large_build" -DSETUP_PACKAGE="$large_package" >/dev/null)
  fi
  cmake --build "$large_build" -j "$jobs" --target setup >/dev/null
fi

# build_floor <package> <exe> [compiler flags...]. Linked with the setup's file alignment, which
# lets the loader map the package resource instead of reading the whole image.
build_floor() {
  local floor_package=$1 exe=$2
  shift 2
  if [ -f "$exe" ] && [ "$exe" -nt "$floor_package" ] &&
     [ "$exe" -nt "$root/scripts/bench/floor_setup.cc" ] && [ "$exe" -nt "$0" ]; then
    return 0
  fi
  printf 'LANGUAGE 0x09, 0x01\nID_MSI BINARY "%s"\n' "$floor_package" >"$exe.rc"
  x86_64-w64-mingw32-windres "$exe.rc" -O coff -o "$exe.res.o"
  x86_64-w64-mingw32-g++ -std=c++17 -Os -municode -mwindows -static -DUNICODE -D_UNICODE \
    -DFLOOR_PROPERTIES="L\"$install_properties\"" "$@" "$root/scripts/bench/floor_setup.cc" \
    "$exe.res.o" -lmsi -s -Wl,--file-alignment,4096 -o "$exe"
}

for size in $install_sizes; do
  case $size in
    small) size_package=$package size_setup=$setup_exe ;;
    large) size_package=$large_package size_setup=$large_build/setup.exe ;;
  esac
  mkdir -p "$bench/floor/$size" "$work_unix/$size"
  build_floor "$size_package" "$bench/floor/$size/floor.exe"
  build_floor "$size_package" "$bench/floor/$size/floor-log.exe" -DFLOOR_LOG
  cp "$size_setup" "$work_unix/$size/setup.exe"
  cp "$bench/floor/$size/floor.exe" "$bench/floor/$size/floor-log.exe" "$size_package" \
    "$work_unix/$size/"
  mv "$work_unix/$size/$(basename "$size_package")" "$work_unix/$size/package.msi"
  printf -v "package_bytes_$size" '%s' "$(stat -c %s "$size_package")"
done

# run_variant <size> <variant>: one install of the size's package.
run_variant() {
  local dir="C:\\bench\\$1"
  case $2 in
    setup) wine "$dir\\setup.exe" KORVO=1 ;;
    floor) wine "$dir\\floor.exe" ;;
    floor_log) wine "$dir\\floor-log.exe" ;;
    # By its path: a bare `msiexec` makes Wine start it in a second process, which costs a
    # process start more and hides its CPU time. Word splitting of the properties is meant.
    msiexec)
      wine 'C:\windows\system32\msiexec.exe' /i "$dir\\package.msi" /qn $install_properties ;;
  esac
}

# The prefix's wineserver does part of every install's work (files, registry, synchronisation),
# so its CPU time counts with the program's own. It is the one whose folder names the prefix.
server_folder="server-$(stat -c '%d %i' "$WINEPREFIX" | awk '{ printf "%x-%x", $1, $2 }')"
server_pid=
for pid in $(pgrep -x 'wineserver(64)?'); do
  case $(readlink "/proc/$pid/cwd") in */"$server_folder") server_pid=$pid ;; esac
done
[ -n "$server_pid" ] || { echo "the prefix's wineserver was not found"; exit 1; }
# Nanoseconds on a CPU (the server has one thread).
server_cpu_ns() { awk '{ print $1 }' "/proc/$server_pid/schedstat"; }

# install_once <size> <variant>: prints "wall-seconds cpu-seconds" of one install, the CPU time
# being that of the program's process and the wineserver (not of the helper process Wine starts
# for every shortcut, which all four programs start alike): far less disturbed than the wall time
# by other work on the machine. Fails unless the product was installed and removed again.
install_once() {
  local seconds server_before server_after TIMEFORMAT='%3R %3U %3S'
  server_before=$(server_cpu_ns)
  seconds=$( { time run_variant "$1" "$2" >/dev/null 2>&1; } 2>&1) ||
    { log "failed: $2 ($1)"; return 1; }
  server_after=$(server_cpu_ns)
  seconds=$(awk -v t="$seconds" -v s=$((server_after - server_before)) \
    'BEGIN { split(t, f, " "); printf "%.3f %.3f", f[1], f[2] + f[3] + s / 1e9 }')
  [ -f "$installed_app" ] || { log "$2 installed nothing"; return 1; }
  local attempt code
  for attempt in 1 2 3; do
    code=0
    wine msiexec /x "C:\\bench\\$1\\package.msi" /qn >/dev/null 2>&1 || code=$?
    [ -e "$installed_app" ] || break
    log "   removal after $2 ($1) left the product (exit code $code), attempt $attempt"
    sleep 1
  done
  [ ! -e "$installed_app" ] || { log "the product stayed after $2 ($1)"; return 1; }
  printf '%s' "$seconds"
}

# quartiles <numbers...>: "first-quartile median third-quartile", interpolated.
quartiles() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
    function at(p,  h, l, u) { h = (NR - 1) * p + 1; l = int(h); u = (l < NR) ? l + 1 : l
                               return v[l] + (h - l) * (v[u] - v[l]) }
    END { printf "%.3f %.3f %.3f", at(0.25), at(0.5), at(0.75) }'
}

# Wine ends the prefix's own processes (the desktop's explorer, services, rpcss) when the last
# program has gone and starts them again with a later one, not always the next: a run that pays
# for that does half as much work again (here about one run in three, at random). A program kept
# idle on the desktop meanwhile holds them up, as Windows does, so each run pays for itself only.
printf '%s\n' '#include <windows.h>' 'int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {' \
  '  GetDesktopWindow();' '  Sleep(INFINITE);' '  return 0;' '}' |
  x86_64-w64-mingw32-g++ -x c++ -municode -mwindows -static -s -o "$work_unix/idle.exe" -
wine 'C:\bench\idle.exe' >/dev/null 2>&1 &
idle_pid=$!

for size in $install_sizes; do
  wine msiexec /x "C:\\bench\\$size\\package.msi" /qn >/dev/null 2>&1 || true
  # One untimed install by each program first: disk caches and the prefix's first-use work.
  for variant in "${variants[@]}"; do install_once "$size" "$variant" >/dev/null || exit 1; done
done
log "== install, $rounds rounds of ${#variants[@]} programs, sizes: $install_sizes"
# Keyed "<size>.<variant>" and "<size>.<a>/<b>"; values are lists, one number a round.
declare -A install_times install_cpu install_ratios install_cpu_ratios
for ((round = 1; round <= rounds; round++)); do
  for size in $install_sizes; do
    declare -A wall=() cpu=()
    # Each round starts with the next program, so no program always follows the same one.
    for ((k = 0; k < ${#variants[@]}; k++)); do
      variant=${variants[(round + k) % ${#variants[@]}]}
      measured=$(install_once "$size" "$variant") || exit 1
      read -r "wall[$variant]" "cpu[$variant]" <<<"$measured"
      install_times[$size.$variant]+="${wall[$variant]} "
      install_cpu[$size.$variant]+="${cpu[$variant]} "
    done
    for pair in setup/floor setup/floor_log msiexec/floor floor_log/floor; do
      install_ratios[$size.$pair]+="$(awk -v a="${wall[${pair%/*}]}" \
        -v b="${wall[${pair#*/}]}" 'BEGIN { printf "%.4f", a / b }') "
      install_cpu_ratios[$size.$pair]+="$(awk -v a="${cpu[${pair%/*}]}" \
        -v b="${cpu[${pair#*/}]}" 'BEGIN { printf "%.4f", a / b }') "
    done
    log "   round $round $size (wall/CPU s): setup ${wall[setup]}/${cpu[setup]}," \
        "floor ${wall[floor]}/${cpu[floor]}, floor_log ${wall[floor_log]}/${cpu[floor_log]}," \
        "msiexec ${wall[msiexec]}/${cpu[msiexec]}"
  done
done

kill "$idle_pid"
wait "$idle_pid" 2>/dev/null || true

# install_report: the figures of this section, three lines a package size.
install_report() {
  local size variant pair q1 median q3 line kind
  for size in $install_sizes; do
    local bytes_name=package_bytes_$size
    line="install, $size package ${!bytes_name} B, $rounds rounds, medians (wall s / CPU s):"
    for variant in "${variants[@]}"; do
      read -r q1 median q3 <<<"$(quartiles ${install_times[$size.$variant]})"
      line+=" $variant $median"
      read -r q1 median q3 <<<"$(quartiles ${install_cpu[$size.$variant]})"
      line+=" / $median;"
    done
    echo "${line%;}"
    for kind in wall CPU; do
      line="  $kind, medians of the per-round ratios (quartiles):"
      for pair in setup/floor setup/floor_log msiexec/floor floor_log/floor; do
        if [ "$kind" = wall ]; then
          read -r q1 median q3 <<<"$(quartiles ${install_ratios[$size.$pair]})"
        else
          read -r q1 median q3 <<<"$(quartiles ${install_cpu_ratios[$size.$pair]})"
        fi
        line+=" $pair $(printf '%.3f (%.3f-%.3f)' "$median" "$q1" "$q3")"
      done
      echo "$line"
    done
  done
}

# --- 3. extraction ---------------------------------------------------------------------------
log "== extraction of 50 MiB, $runs runs each"
cp "$timer_dir/extract_timer.exe" "$work_unix/extract_timer.exe"
# extract_run <check | no-check>: the timer's durations into extract_times, its peak memory
# into extract_peak.
extract_run() {
  local lines
  mapfile -t lines < <(wine 'C:\bench\extract_timer.exe' 'C:\bench\extracted.msi' "$runs" "$1" |
                       tr -d '\r')
  [ "${#lines[@]}" -eq $((runs + 1)) ] || { echo "the extraction timer failed"; exit 1; }
  extract_times=("${lines[@]:0:runs}")
  extract_peak=${lines[runs]#peak }
}
extract_run no-check
read -r unchecked_min unchecked_median <<<"$(stats "${extract_times[@]}")"
extract_run check
read -r extract_min extract_median <<<"$(stats "${extract_times[@]}")"
read -r peak_working_set peak_pagefile <<<"$extract_peak"
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
echo "size: setup.exe $setup_size B (package $package_size B), stub with a $tiny_package_size B package" \
     "$stub_size B; setup.exe/stub $(ratio "$setup_size" "$stub_size")," \
     "(setup.exe - package)/stub $(ratio $((setup_size - package_size)) "$stub_size")"
# The figure the test suite holds to 384 KiB (setup_stub_size).
echo "size: stub (setup.exe - package) $((setup_size - package_size)) B" \
     "= $(awk -v b=$((setup_size - package_size)) 'BEGIN { printf "%.1f", b / 1024 }') KiB," \
     "$(ratio $((setup_size - package_size)) 393216) of the 384 KiB budget"
install_report
echo "extraction (50 MiB): ExtractPackage min $extract_min ms median $extract_median ms; cp" \
     "min $cp_min ms median $cp_median ms; ratio min $(ratio "$extract_min" "$cp_min")" \
     "median $(ratio "$extract_median" "$cp_median")"
echo "extraction (50 MiB) without the check of the held file: min $unchecked_min ms median" \
     "$unchecked_median ms; ratio to cp min $(ratio "$unchecked_min" "$cp_min") median" \
     "$(ratio "$unchecked_median" "$cp_median"); timer peak working set $peak_working_set B," \
     "peak pagefile $peak_pagefile B"

# --- 4. time to dialog ------------------------------------------------------------------------
log "== time to dialog"
BENCH_BUILD="$bench" bash "$root/scripts/bench/time_to_dialog.sh" "$setup_exe"
