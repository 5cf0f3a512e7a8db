#!/usr/bin/env bash
# An msi.dll planted beside setup.exe (say in a Downloads folder) must never be loaded: msi.dll
# is no KnownDLL, so only a load restricted to the system folder keeps it out. The run must
# still complete its install through the system's own installer.
# The planted DLL leaves a trace file beside itself when loaded. A control program that loads
# "msi.dll" by its bare name runs first and must leave that trace, so that a missing trace after
# setup.exe means something.
# E2E_SECURITY_DIR (default: the folder "security" beside setup.exe) holds msi.dll and
# planted_msi_probe.exe, built from install/security/.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"
e2e_init
helpers=${E2E_SECURITY_DIR:-$(dirname "$E2E_SETUP_EXE")/security}
[ -f "$helpers/msi.dll" ] && [ -f "$helpers/planted_msi_probe.exe" ] ||
  e2e_die "no planted msi.dll or probe in $helpers"

e2e_new_prefix "planted msi.dll"
folder="$WINEPREFIX/drive_c/e2e"
trace="$folder/planted-msi-loaded.txt"
cp "$helpers/msi.dll" "$folder/msi.dll"
cp "$helpers/planted_msi_probe.exe" "$folder/probe.exe"
# Native first, so Wine's loader takes a planted msi.dll wherever its search reaches one.
export WINEDLLOVERRIDES="msi=n,b;$WINEDLLOVERRIDES"

e2e_run 'C:\e2e\probe.exe' '"C:\e2e\probe.exe"'
e2e_assert_exit 0
e2e_assert_file "$trace" "control: a bare-name load picks up the planted msi.dll"
rm -f "$trace"

e2e_run_setup 'KORVO=1'
e2e_assert_no_file "$trace" "setup.exe did not load the planted msi.dll"
e2e_assert_exit 0
product_assert_installed "$(product_default_installdir)"

e2e_finish
