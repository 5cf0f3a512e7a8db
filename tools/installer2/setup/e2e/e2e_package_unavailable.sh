#!/usr/bin/env bash
# When the package cannot be written to the temporary folder the run ends with 1612 before
# any install: the package path held open by another process, a temporary folder that cannot
# be written, and a temporary folder path longer than the platform buffer.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"
e2e_init

nothing_installed() {
  e2e_assert_exit 1612
  product_assert_not_installed
}

e2e_new_prefix "package path held open"
temp=$(e2e_temp_dir)
held="$(e2e_unix_path "$temp")/$PACKAGE_NAME"
e2e_hold_file "$temp$PACKAGE_NAME"
e2e_run_setup 'KORVO=1'
nothing_installed
e2e_assert_eq 0 "$(stat -c %s "$held" 2>/dev/null)" "the held file is untouched"
e2e_assert_no_file "$(e2e_unix_path "$temp")/$PACKAGE_NAME.log" "no installer log"

# scenario <name> <TMP and TEMP for setup.exe>
scenario() {
  e2e_new_prefix "$1"
  printf 'not a folder' >"$WINEPREFIX/drive_c/e2e/a-file"
  e2e_child_env TMP "$2"
  e2e_child_env TEMP "$2"
  e2e_run_setup 'KORVO=1'
  nothing_installed
}

scenario "temporary folder below a file" 'C:\e2e\a-file\temp'
scenario "temporary folder missing" 'C:\e2e\missing'
e2e_assert_no_file "$WINEPREFIX/drive_c/e2e/missing" "missing folder not created"
# The folder exists, so only its length (more than the 260 characters of the platform buffer)
# can stop the run.
long='C:\e2e'
while [ ${#long} -le 270 ]; do long+='\a-long-folder-name'; done
e2e_new_prefix "temporary folder path too long"
mkdir -p "$(e2e_unix_path "$long")" || e2e_die "cannot make the long folder"
e2e_child_env TMP "$long"
e2e_child_env TEMP "$long"
e2e_run_setup 'KORVO=1'
nothing_installed
e2e_assert_no_file "$(e2e_unix_path "$long")/$PACKAGE_NAME" "no package in the long folder"

e2e_finish
