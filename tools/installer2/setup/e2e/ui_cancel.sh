#!/usr/bin/env bash
# Cancel, Escape and the close box each end the run with 1602: no box, nothing written out or
# installed.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"
source "$(dirname "$0")/lib_ui.sh"
ui_init

scenario() {
  local name=$1 temp boxes
  shift
  e2e_new_prefix "$name"
  temp=$(e2e_temp_dir)
  ui_run_setup 'INSTALLDIR="C:\Pelko Given"' wait-dialog "$@" watch-windows
  e2e_assert_exit 1602
  boxes=$(ui_values window | grep -c '^box|' || true)
  e2e_assert_eq 0 "$boxes" "message boxes shown"
  ui_assert_value process.seen 1 "the driver watched the setup"
  product_assert_not_installed
  e2e_assert_no_file "$(e2e_unix_path 'C:\Pelko Given')" "nothing installed in the given folder"
  product_assert_temp_clean "$temp"
}

scenario "Cancel button" click 2
scenario "Escape key" escape
scenario "close box" close-box

e2e_finish
