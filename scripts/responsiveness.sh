#!/usr/bin/env bash
# The progress window during a long interactive install, under Xvfb and Wine: a package with a
# large random payload (64 MiB by default) is embedded in a setup.exe of its own, installed by a
# person (ui_driver confirms the customize dialog and the result box), and progress_pinger asks
# the progress window for an answer (WM_NULL, one-second timeout) every 200 ms for the whole
# install, copying the bar from the screen after each question. It prints the figures and fails
# when the window was silent for more than a second, left a question unanswered, or its bar did
# not visibly grow. Slow (a package build and a fresh prefix), so not part of scripts/test.sh.
#
#   scripts/responsiveness.sh [BUILD_DIR]        (default build/responsiveness)
#
#   RESPONSIVENESS_FILES, RESPONSIVENESS_MIB     payload: that many files of that many MiB
#                                                (default 8 of 8)
#   RESPONSIVENESS_CABINETS                      each (default): a cabinet per file; one: all
#                                                files in one cabinet, which the installer
#                                                unpacks in one go without a message between
#   RESPONSIVENESS_SETUP_EXE                     measure this setup.exe instead (one built
#                                                elsewhere with a large package embedded)
set -eu
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build/responsiveness}
mkdir -p "$build"
build=$(cd "$build" && pwd)
files=${RESPONSIVENESS_FILES:-8}
mib=${RESPONSIVENESS_MIB:-8}
cabinets=${RESPONSIVENESS_CABINETS:-each}
for tool in Xvfb wine wineboot wineserver wixl cmake; do
  command -v "$tool" >/dev/null || { echo "responsiveness: $tool is missing" >&2; exit 1; }
done

# --- the package and the setup that embeds it ---------------------------------------------
# wxs NUMBER...: the package source holding the payload files of those numbers.
wxs() {
  local components="" refs="" i
  for i in "$@"; do
    components+="<Component Id=\"Payload$i\" Guid=\"*\" Win64=\"yes\">
  <File Id=\"Payload$i\" Name=\"payload-$i.bin\" Source=\"payload-$i.bin\" KeyPath=\"yes\"/>
</Component>
"
    refs+="<ComponentRef Id=\"Payload$i\"/>"
  done
  cat <<EOF
<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="*" Name="Tavrin Pelko Large" Language="1033" Codepage="65001" Version="1.0.0"
           Manufacturer="Tavrin" UpgradeCode="0E8C2A1B-6B53-4D53-9C0C-8A3B8C1E4F21">
    <Package InstallerVersion="500" Compressed="yes" InstallScope="perMachine"
             Description="Tavrin Pelko Large" Manufacturer="Tavrin"/>
    <Media Id="1" Cabinet="large.cab" EmbedCab="yes"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="ProgramFiles64Folder">
        <Directory Id="CompanyFolder" Name="Tavrin">
          <Directory Id="INSTALLDIR" Name="Tavrin Pelko Large">
$components
          </Directory>
        </Directory>
      </Directory>
    </Directory>
    <Feature Id="Complete" Level="1">$refs</Feature>
  </Product>
</Wix>
EOF
}

package_dir=$build/large-package
package=$package_dir/TavrinPelko-Large-${files}x${mib}-${cabinets}.msi
if [ ! -f "$package" ]; then
  mkdir -p "$package_dir"
  cd "$package_dir"
  rm -f payload-*.bin part-*.cab single.msi
  for i in $(seq 1 "$files"); do head -c $((mib * 1024 * 1024)) /dev/urandom >"payload-$i.bin"; done
  wxs $(seq 1 "$files") >large.wxs
  wixl -a x64 -o "$package.part" large.wxs
  if [ "$cabinets" = each ]; then
    # wixl puts every file into one cabinet; each file gets a cabinet of its own instead (a
    # cabinet's entries are named after the File keys, so one made for the file alone fits).
    queries=(-q "DELETE FROM \`_Streams\` WHERE \`Name\` = 'large.cab'")
    for i in $(seq 1 "$files"); do
      wxs "$i" >single.wxs
      wixl -a x64 -o single.msi single.wxs
      msiinfo extract single.msi large.cab >"part-$i.cab"
      if [ "$i" = 1 ]; then
        queries+=(-q "UPDATE \`Media\` SET \`LastSequence\` = 1, \`Cabinet\` = '#part-1.cab' WHERE \`DiskId\` = 1")
      else
        queries+=(-q "INSERT INTO \`Media\` (\`DiskId\`, \`LastSequence\`, \`Cabinet\`) VALUES ($i, $i, '#part-$i.cab')")
      fi
      queries+=(-a "part-$i.cab" "part-$i.cab")
    done
    msibuild "$package.part" "${queries[@]}"
  fi
  mv "$package.part" "$package"
  rm -f payload-*.bin part-*.cab single.msi single.wxs
  cd "$root"
fi

if [ -n "${RESPONSIVENESS_SETUP_EXE:-}" ]; then
  setup_exe=$RESPONSIVENESS_SETUP_EXE
  cmake --preset windows -B "$build" -DSETUP_PACKAGE="$package" >/dev/null
  cmake --build "$build" -j "${JOBS:-2}" --target ui_driver progress_pinger
else
  setup_exe=$build/setup.exe
  cmake --preset windows -B "$build" -DSETUP_PACKAGE="$package" >/dev/null
  cmake --build "$build" -j "${JOBS:-2}" --target setup ui_driver progress_pinger
fi
helpers=$build/tools/installer2/setup/e2e

# --- the install ----------------------------------------------------------------------------
work=$(mktemp -d "${TMPDIR:-/tmp}/pelko-responsiveness.XXXXXX")
source "$root/scripts/xvfb.sh"
cleanup() {
  WINEPREFIX=$work/prefix wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
start_xvfb 1280x1024
export WINEPREFIX=$work/prefix HOME=$work/home LC_ALL=C.UTF-8
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export PELKO_UI_TIMEOUT_MS=300000
mkdir -p "$HOME"
wineboot -i >/dev/null 2>&1
# Xvfb has no window manager. For a window it hands to one, Wine's X11 driver waits up to two
# seconds, serving nothing, for the manager to confirm the window is withdrawn; so the progress
# window's DestroyWindow would block that long, a stall of the test bench, not of the program.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wineserver -w
cp "$setup_exe" "$work/setup.exe"
cp "$helpers/ui_driver.exe" "$helpers/progress_pinger.exe" "$work/"

echo "== $(stat -c %s "$work/setup.exe") bytes of setup.exe, payload $files x $mib MiB, cabinets: $cabinets"
# The driver confirms the dialog and then keeps out of the way until the progress window is gone:
# its polling would compete with the install for the machine (and Wine's server).
(
  wine "$work/ui_driver.exe" wait-dialog click 1 >"$work/driver.out" 2>&1
  wine "$work/progress_pinger.exe" 200 1000 >"$work/pinger.out" 2>&1
  wine "$work/ui_driver.exe" wait-box click 1 wait-exit >>"$work/driver.out" 2>&1
) &
helpers_pid=$!
started=$(date +%s%N)
status=0
wine "$work/setup.exe" >/dev/null 2>&1 || status=$?
ended=$(date +%s%N)
wait "$helpers_pid" || true
wineserver -w

tr -d '\r' <"$work/pinger.out" | grep '^shot=' | sed 's/^/   /' || true
value() { tr -d '\r' <"$work/pinger.out" | sed -n "s/^$1=//p" | head -n 1; }
echo "== setup.exe exit code $status after $(( (ended - started) / 1000000 )) ms"
for key in asked answered longest_silence_ms window_ms bar.first bar.most bar.grew; do
  echo "   $key=$(value "$key")"
done

failed=0
check() { if eval "$1"; then echo "ok: $2"; else echo "FAILED: $2"; failed=1; fi; }
check '[ "$status" -eq 0 ]' "the install succeeded"
check '[ -n "$(value asked)" ] && [ "$(value asked)" -gt 0 ]' "the window was asked"
check '[ "$(value answered)" = "$(value asked)" ]' "every question was answered"
check '[ -n "$(value longest_silence_ms)" ] && [ "$(value longest_silence_ms)" -le 1000 ]' \
  "never silent for more than one second"
check '[ "$(value bar.grew)" = 1 ]' "the bar grew on the screen during the install"
exit "$failed"
