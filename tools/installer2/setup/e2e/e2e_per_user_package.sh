#!/usr/bin/env bash
# A setup around a package that installs per user and needs no elevation asks for none in its
# manifest, and installs managed and interactive. (Wine runs every program elevated whatever its
# manifest asks for, so what it shows here is the install, not the missing prompt.)
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"
source "$(dirname "$0")/lib_ui.sh"
[ -f "${E2E_SETUP_PER_USER_EXE:-}" ] || e2e_die "E2E_SETUP_PER_USER_EXE names no file"
E2E_SETUP_EXE=$E2E_SETUP_PER_USER_EXE
ui_init

marker_key='HKCU\Software\Tavrin\Pelko Per-User Test'
if grep -q 'requestedExecutionLevel level="asInvoker"' "$E2E_SETUP_EXE"; then
  e2e_pass "the per-user setup's manifest asks for asInvoker"
else
  e2e_fail "the per-user setup's manifest does not ask for asInvoker"
fi

e2e_new_prefix "per-user package, managed"
temp=$(e2e_temp_dir)
e2e_run_setup 'KORVO=1'
e2e_assert_exit 0
e2e_assert_reg "$marker_key" Korvo 1 "the per-user package installed"
product_assert_temp_clean "$temp"

e2e_new_prefix "per-user package, interactive"
temp=$(e2e_temp_dir)
ui_run_setup '' wait-dialog click 1 wait-box click 1 wait-exit
e2e_assert_exit 0
ui_assert_value box.text "$(ui_string 0009 216)" "success message (string 216)"
e2e_assert_reg "$marker_key" Korvo none "the per-user package installed"
product_assert_temp_clean "$temp"

e2e_finish
