#!/usr/bin/env bash
# The main job: builds everything for Windows, runs one managed install of the embedded package
# with the real setup.exe in a scratch Wine prefix (headless: a managed run shows nothing), and
# reports what happened: the exit code and its meaning, the installed files, the registry
# values the package wrote and where the installer log is when one was kept.
#
#   scripts/main-job.sh [setup arguments]     default arguments: KORVO=1
#
# BUILD_DIR (default build/windows) and JOBS choose the build. The scratch prefix stays in
# <build>/main-job/ for inspection until the next run. Exits non-zero when the install failed.
set -u
cd "$(dirname "$0")/.."
root=$PWD
build=${BUILD_DIR:-$root/build/windows}
jobs=${JOBS:-$(nproc)}
arguments=${*:-KORVO=1}

bash scripts/install-deps.sh || exit 1

echo "== building into $build"
cmake --preset windows -B "$build" >/dev/null || exit 1
cmake --build "$build" -j "$jobs" || exit 1

export E2E_SETUP_EXE="$build/setup.exe"
export E2E_RUNNER_EXE="$build/tools/installer2/setup/e2e/e2e_runner.exe"
export E2E_PROBE_EXE="$build/tools/installer2/setup/e2e/e2e_probe.exe"
scratch="$build/main-job"
# The previous run's prefix may still have a wineserver; stop it before removing the prefix.
for old in "$scratch"/pelko-e2e.*/prefix-*; do
  [ -d "$old" ] && WINEPREFIX=$old wineserver -k >/dev/null 2>&1
done
rm -rf "$scratch"
mkdir -p "$scratch"
export E2E_TMPDIR=$scratch E2E_KEEP=1
# The edition the build was configured for names the package's key and files.
E2E_EDITION=$(sed -n 's/^SETUP_EDITION:[A-Z]*=//p' "$build/CMakeCache.txt")
export E2E_EDITION=${E2E_EDITION:-0}
unset DISPLAY WAYLAND_DISPLAY

source "$root/tools/installer2/setup/e2e/lib.sh"
source "$root/tools/installer2/setup/e2e/demo_product.sh"
e2e_init
e2e_new_prefix "main job"
temp_win=$(e2e_temp_dir)
temp=$(e2e_unix_path "$temp_win")
e2e_run_setup "$arguments"

meaning() {
  case $1 in
    0) echo "success" ;;
    1602) echo "cancelled by the user" ;;
    1603) echo "the installer reported a fatal error during the installation" ;;
    1612) echo "package not available: it could not be written to the temporary folder" ;;
    1618) echo "another installation is already in progress" ;;
    1625) echo "the installation is forbidden by system policy" ;;
    1633) echo "the package is not supported on this platform" ;;
    1638) echo "another version of the product is already installed" ;;
    1639) echo "invalid command line" ;;
    1641) echo "the installer started a restart" ;;
    3010) echo "a restart is required to complete the installation" ;;
    *) echo "installer error" ;;
  esac
}

echo
echo "== setup.exe $arguments"
echo "exit code: $E2E_EXIT ($(meaning "$E2E_EXIT"))"
echo "prefix:    $WINEPREFIX"

echo
echo "== installed files"
installdir=$(e2e_reg_get "$RECEIVED_KEY" INSTALLDIR) || installdir=$(product_default_installdir)
for folder in "$installdir" \
              "$(e2e_reg_get "$RECEIVED_KEY" CACHEDIR || product_default_cachedir)" \
              "$(e2e_reg_get "$RECEIVED_KEY" KMLDIR || product_default_kmldir)" \
              "$(e2e_reg_get "$PRODUCT_KEY" StartMenuPath)"; do
  [ -n "$folder" ] || continue
  unix_folder=$(e2e_unix_path "$folder")
  if [ -d "$unix_folder" ]; then
    echo "$folder"
    find "$unix_folder" -mindepth 1 -printf '  %P (%s bytes)\n' | sort
  else
    echo "$folder (absent)"
  fi
done
while IFS= read -r shortcut; do
  echo "desktop shortcut: ${shortcut#"$WINEPREFIX/"}"
done < <(product_desktop_shortcuts)

echo
echo "== registry values under HKEY_CURRENT_USER\\Software\\Tavrin"
if values=$(wine reg query 'HKCU\Software\Tavrin' /s 2>/dev/null); then
  printf '%s\n' "$values" | tr -d '\r' | sed '/^$/d'
else
  echo "(none)"
fi

echo
echo "== temporary folder $temp_win"
if [ -f "$temp/$PACKAGE_NAME.log" ]; then
  echo "installer log kept: $temp_win$PACKAGE_NAME.log"
  echo "                    $temp/$PACKAGE_NAME.log"
else
  echo "no installer log kept"
fi
if [ -f "$temp/$PACKAGE_NAME" ]; then echo "package left behind: $temp_win$PACKAGE_NAME"; fi

[ "$E2E_EXIT" = 0 ]
status=$?
exit $status
