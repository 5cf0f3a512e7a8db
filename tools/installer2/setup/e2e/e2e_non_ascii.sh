#!/usr/bin/env bash
# Text is UTF-16 from the command line to the package: a temporary folder and an INSTALLDIR
# with characters outside ASCII work, for a successful and for a failed install.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"
e2e_init

temp_win='C:\e2e\Jürgen Ωmega 日本'
installdir='C:\Program Files\Jürgen Ωmega 日本'

# scenario <name> <more setup arguments> <exit code>
scenario() {
  local temp
  e2e_new_prefix "$1"
  temp=$(e2e_unix_path "$temp_win")
  mkdir -p "$temp"
  e2e_child_env TMP "$temp_win"
  e2e_child_env TEMP "$temp_win"
  e2e_run_setup "KORVO=1 INSTALLDIR=\"$installdir\" PELKO_ECHO=Jürgen_Ωmega_日本 $2"
  e2e_assert_exit "$3"
  e2e_assert_no_file "$temp/$PACKAGE_NAME" "package deleted from $temp_win"
}

scenario "install" '' 0
product_assert_installed "$installdir\\"
e2e_assert_reg "$RECEIVED_KEY" PELKO_ECHO 'Jürgen_Ωmega_日本' "PELKO_ECHO that reached the package"
e2e_assert_no_file "$(e2e_unix_path "$temp_win")/$PACKAGE_NAME.log" "log deleted from $temp_win"

scenario "failed install" 'PELKO_TEST_FAIL=1' 1603
e2e_assert_nonempty_file "$(e2e_unix_path "$temp_win")/$PACKAGE_NAME.log" "log kept in $temp_win"

e2e_finish
