#!/usr/bin/env bash
# Time to dialog: setup.exe against the barest program that shows one dialog
# (scripts/bench/bare_dialog.cc), from process creation to the dialog visible and answering a
# message, in interleaved rounds in one warm Wine prefix (scripts/bench/dialog_timer.cc). A third
# program is the bare dialog with the libraries setup.exe loads before its dialog (its imports
# and, through its manifest, version 6 of the common controls): the floor for the setup. Prints
# the medians of all three, with quartiles, and the medians of the per-round ratios to the bare
# dialog. It judges nothing. Needs a display (DISPLAY, or Xvfb from scripts/xvfb.sh).
#
#   bash scripts/bench/time_to_dialog.sh [setup.exe]
#
# Settings (environment): BENCH_DIALOG_ROUNDS (rounds, default 25), BENCH_BUILD (default
# build/bench: the programs and the prefix, bench-dialog-prefix, kept between runs).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
setup_exe=$(realpath "${1:-$root/build/windows/setup.exe}")
rounds=${BENCH_DIALOG_ROUNDS:-25}
bench=${BENCH_BUILD:-$root/build/bench}
mkdir -p "$bench"
bench=$(cd "$bench" && pwd)
[ -f "$setup_exe" ] || { echo "no setup.exe at $setup_exe"; exit 1; }

if [ -z "${DISPLAY:-}" ]; then
  source "$root/scripts/xvfb.sh"
  trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
  start_xvfb 1280x1024
fi

export WINEPREFIX="$bench/dialog-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
work="$WINEPREFIX/drive_c/bench"
mkdir -p "$work"
cp "$setup_exe" "$work/setup.exe"
x86_64-w64-mingw32-windres "$here/bare_dialog.rc" -O coff -o "$bench/bare_dialog.res.o"
x86_64-w64-mingw32-g++ -std=c++17 -Os -municode -mwindows -static -s \
  "$here/bare_dialog.cc" "$bench/bare_dialog.res.o" -o "$work/bare_dialog.exe"
sed 's/@EXECUTION_LEVEL@/asInvoker/' "$root/tools/installer2/setup/resources/app.manifest.in" \
  > "$bench/setup_libraries.manifest"
{ cat "$here/bare_dialog.rc"; echo "1 24 \"$bench/setup_libraries.manifest\""; } \
  > "$bench/bare_dialog_libraries.rc"
x86_64-w64-mingw32-windres -I "$here" "$bench/bare_dialog_libraries.rc" -O coff \
  -o "$bench/bare_dialog_libraries.res.o"
x86_64-w64-mingw32-g++ -std=c++17 -Os -municode -mwindows -static -s -DSETUP_LIBRARIES \
  "$here/bare_dialog.cc" "$bench/bare_dialog_libraries.res.o" -o "$work/bare_libraries.exe" \
  -lcomctl32 -lshell32 -lole32 -loleaut32 -lshlwapi -luuid
x86_64-w64-mingw32-g++ -std=c++17 -O2 -municode -static -s "$here/dialog_timer.cc" \
  -o "$work/dialog_timer.exe"

# One server for every run; a program idle on the desktop keeps the prefix's own processes up,
# so no run pays for starting them.
wineserver -p
trap 'wineserver -k >/dev/null 2>&1 || true; kill "${xvfb_pid:-}" 2>/dev/null || true' EXIT
printf '%s\n' '#include <windows.h>' 'int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {' \
  '  GetDesktopWindow();' '  Sleep(INFINITE);' '  return 0;' '}' |
  x86_64-w64-mingw32-g++ -x c++ -municode -mwindows -static -s -o "$work/idle.exe" -
wine 'C:\bench\idle.exe' >/dev/null 2>&1 &
# Warm: two rounds untimed.
programs=('C:\bench\setup.exe' 'C:\bench\bare_dialog.exe' 'C:\bench\bare_libraries.exe')
wine 'C:\bench\dialog_timer.exe' 2 "${programs[@]}" >/dev/null
mapfile -t rounds_ms < <(wine 'C:\bench\dialog_timer.exe' "$rounds" "${programs[@]}" | tr -d '\r')
[ "${#rounds_ms[@]}" -eq "$rounds" ] || { echo "the dialog timer failed"; exit 1; }

quartiles() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
    function at(p,   i, l, u, h) { h = (NR - 1) * p + 1; l = int(h); u = (l < NR) ? l + 1 : l;
                                   return v[l] + (h - l) * (v[u] - v[l]) }
    END { printf "%.1f (%.1f-%.1f)", at(0.5), at(0.25), at(0.75) }'
}
median() {
  sort -g | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
                                      printf "%.2f", m }'
}
setup_ms=() bare_ms=() floor_ms=() ratios=() floor_ratios=()
for round in "${rounds_ms[@]}"; do
  read -r s b f <<<"$round"
  setup_ms+=("$s") bare_ms+=("$b") floor_ms+=("$f")
  ratios+=("$(awk -v a="$s" -v b="$b" 'BEGIN { printf "%.4f", a / b }')")
  floor_ratios+=("$(awk -v a="$f" -v b="$b" 'BEGIN { printf "%.4f", a / b }')")
done
echo "time to dialog, $rounds interleaved rounds, medians in ms (quartiles): setup" \
     "$(quartiles "${setup_ms[@]}"), bare $(quartiles "${bare_ms[@]}")," \
     "bare with the setup's libraries $(quartiles "${floor_ms[@]}"); per round: setup/bare" \
     "$(printf '%s\n' "${ratios[@]}" | median), libraries/bare" \
     "$(printf '%s\n' "${floor_ratios[@]}" | median)"
