#!/usr/bin/env bash
# Pictures of what a user of the interactive setup sees, taken under Xvfb and Wine:
#   docs/screenshots/customize-dialog-en.png   the customize dialog, English (left to right)
#   docs/screenshots/customize-dialog-he.png   the same in Hebrew (mirrored template)
#   docs/screenshots/progress-window.png       the progress window during the install
#   docs/screenshots/result-box.png            the success box at the end
#   docs/screenshots/result-box-ar.png         the success box in Arabic (right to left)
#   docs/screenshots/customize-dialog-en-144dpi.png   the English dialog at 150 % (144 DPI)
#   docs/screenshots/customize-dialog-en-high-contrast.png   the English dialog in high contrast
#                                                (white on black), through the dialog's test
#                                                seam: Wine cannot switch the mode on
#
#   scripts/screenshots.sh [BUILD_DIR]   (default build/windows; setup.exe and ui_driver.exe
#                                         are built there first when missing)
#
# Wine runs in a virtual desktop of the screen's size, so that the windows get their frames and
# captions without a window manager; each picture is the screen trimmed to the window on it.
set -eu
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build/windows}
out=$root/docs/screenshots
setup_exe=$build/setup.exe
driver_exe=$build/tools/installer2/setup/e2e/ui_driver.exe
preview_exe=$build/tools/installer2/setup/e2e/high_contrast_preview.exe

if [ ! -f "$setup_exe" ] || [ ! -f "$driver_exe" ] || [ ! -f "$preview_exe" ]; then
  [ -f "$build/CMakeCache.txt" ] || cmake --preset windows -B "$build" >/dev/null
  cmake --build "$build" -j "${JOBS:-2}" --target setup ui_driver high_contrast_preview
fi
for tool in Xvfb import convert wine wineboot wineserver; do
  command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/pelko-screenshots.XXXXXX")
source "$root/scripts/xvfb.sh"
cleanup() {
  WINEPREFIX=$work/prefix wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

width=1024
height=768
start_xvfb "${width}x${height}"
export WINEPREFIX=$work/prefix HOME=$work/home LC_ALL=C.UTF-8
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$HOME" "$out"

wineboot -i >/dev/null 2>&1
wineserver -w
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "${width}x${height}" /f \
  >/dev/null 2>&1
wineserver -w
cp "$setup_exe" "$work/setup.exe"
cp "$driver_exe" "$work/ui_driver.exe"
cp "$preview_exe" "$work/high_contrast_preview.exe"

# drive STEP...: the driver's steps, its lines on standard output.
drive() { PELKO_UI_TIMEOUT_MS=120000 wine "$work/ui_driver.exe" "$@" | tr -d '\r'; }

# shoot NAME: the screen, trimmed to the window on the desktop's plain background.
shoot() {
  sleep 1  # let the window finish painting
  import -window root "$work/screen.png"
  convert "$work/screen.png" -trim +repage "$out/$1.png"
  echo "wrote docs/screenshots/$1.png ($(identify -format '%wx%h' "$out/$1.png"))"
}

echo "== customize dialog in Hebrew"
wine "$work/setup.exe" INSTALLER_LANGUAGE=1037 >/dev/null 2>&1 &
setup=$!
drive wait-dialog >/dev/null
shoot customize-dialog-he
drive wait-dialog click 2 wait-exit >/dev/null
wait "$setup" || true  # 1602: cancelled

echo "== success box in Arabic"
wine "$work/setup.exe" INSTALLER_LANGUAGE=1025 >/dev/null 2>&1 &
setup=$!
drive wait-dialog click 1 wait-box >/dev/null
shoot result-box-ar
drive wait-box click 1 wait-exit >/dev/null
wait "$setup" || { echo "screenshots: the install failed" >&2; exit 1; }
wineserver -w

echo "== customize dialog in English, progress window and result box"
wine "$work/setup.exe" INSTALLER_LANGUAGE=9 >/dev/null 2>&1 &
setup=$!
drive wait-dialog >/dev/null
shoot customize-dialog-en
# Straight into the file: a pipe would hold the line back until the driver ends.
PELKO_UI_TIMEOUT_MS=120000 wine "$work/ui_driver.exe" wait-dialog click 1 freeze-progress 20 4000 \
  >"$work/progress.out" &
driver=$!
for _ in $(seq 1 600); do
  if grep -q '^frozen=' "$work/progress.out" 2>/dev/null; then break; fi
  sleep 0.1
done
grep -q '^frozen=' "$work/progress.out" || { echo "screenshots: no progress window" >&2; exit 1; }
shoot progress-window
wait "$driver"
drive wait-box >/dev/null
shoot result-box
drive wait-box click 1 wait-exit >/dev/null
wait "$setup" || { echo "screenshots: the install failed" >&2; exit 1; }
wineserver -w

echo "== customize dialog in English at 144 DPI"
# The dialog grows with the DPI, its picture does not: the picture fades into the white beyond.
# Wine reads the DPI when it starts.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver -w
wine "$work/setup.exe" INSTALLER_LANGUAGE=9 >/dev/null 2>&1 &
setup=$!
drive wait-dialog >/dev/null
shoot customize-dialog-en-144dpi
drive wait-dialog click 2 wait-exit >/dev/null
wait "$setup" || true  # 1602: cancelled
wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1
wineserver -w

echo "== customize dialog in English, high contrast"
# The preview sets the scheme's system colours for the session and puts them back when it ends.
wine "$work/high_contrast_preview.exe" 1033 >/dev/null 2>&1 &
preview=$!
PELKO_UI_PROCESS=high_contrast_preview.exe drive wait-dialog >/dev/null
shoot customize-dialog-en-high-contrast
PELKO_UI_PROCESS=high_contrast_preview.exe drive wait-dialog click 2 wait-exit >/dev/null
wait "$preview" || true
wineserver -w
