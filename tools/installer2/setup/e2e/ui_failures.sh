#!/usr/bin/env bash
# Failures after the dialog: a command line the parser rejects still shows the dialog and ends
# with the failure box for 1639; a package failing in the installer ends with the one for 1603.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"
source "$(dirname "$0")/lib_ui.sh"
ui_init

caption=$(ui_string 0009 223)
lead_in=$(ui_string 0009 217)

e2e_new_prefix "rejected command line"
ui_run_setup 'KORVO=1 B' wait-dialog caption click 1 wait-box click 1 wait-exit
e2e_assert_exit 1639
ui_assert_value caption "$caption" "the dialog is shown for a rejected command line"
ui_assert_value box.caption "$caption" "failure box caption (string 223)"
ui_assert_value box.text "$lead_in 1639" "failure message"
product_assert_not_installed

e2e_new_prefix "failing package"
temp=$(e2e_unix_path "$(e2e_temp_dir)")
ui_run_setup 'PELKO_TEST_FAIL=1' wait-dialog click 1 wait-box click 1 wait-exit
e2e_assert_exit 1603
ui_assert_value box.caption "$caption" "failure box caption (string 223)"
ui_assert_value box.text "$lead_in 1603" "failure message"
e2e_assert_nonempty_file "$temp/$PACKAGE_NAME.log" "installer log kept"
product_assert_not_installed

e2e_finish
