#!/usr/bin/env bash
# A setup built for edition 1 (Qx) around edition 1's demo package: a failed install keeps the
# installer's log under that edition's package name, and a German managed install renames the
# edition's own shortcuts (strings 221, 227, 230, 233) in the folder named under its own key.
E2E_EDITION=1
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"

[ -n "${E2E_SETUP_EDITION1_EXE:-}" ] || e2e_die "E2E_SETUP_EDITION1_EXE is not set"
E2E_SETUP_EXE=$E2E_SETUP_EDITION1_EXE
e2e_init

e2e_new_prefix "edition 1"
temp=$(e2e_temp_dir)
temp_unix=$(e2e_unix_path "$temp")

e2e_run_setup 'KORVO=1 PELKO_TEST_FAIL=1'
e2e_assert_exit 1603
e2e_assert_nonempty_file "$temp_unix/TavrinPelko-Qx.msi.log" "the log kept under the edition's name"
e2e_assert_no_file "$temp_unix/TavrinPelko-Qx.msi" "package deleted"
e2e_assert_no_file "$temp_unix/TavrinPelko-Larkin.msi.log" "no log under edition 0's name"
rm -f "$temp_unix/TavrinPelko-Qx.msi.log"

e2e_run_setup 'KORVO=1 INSTALLER_LANGUAGE=1031'
e2e_assert_exit 0
e2e_assert_eq "227 230 233 221" "${PRODUCT_SHORTCUT_IDS[*]}" "the edition's shortcut strings"
product_assert_installed "$(product_default_installdir)" 1031-de-DE.txt
e2e_assert_eq 1 "$(product_desktop_shortcuts | wc -l)" "desktop shortcut \"$DESKTOP_SHORTCUT\""
product_assert_temp_clean "$temp"

e2e_finish
