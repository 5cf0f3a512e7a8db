#!/usr/bin/env bash
# Hebrew and Arabic sentences read right to left, judged from the pixels on the screen: the
# dialog's sentence with the product name (string 203), its text that wraps (204), the success
# box, and the failure box, whose number ends the sentence at the left of its last line. The
# driver compares each with references it draws in the same font (see reading_order_probe.h).
#
# Not the Hebrew failure box: Wine wraps a box's text at a narrow width and lays out each
# wrapped line on its own, so the embedding the text opens with does not reach the second line,
# which there holds the end of the Latin name; that line reads left to right under Wine.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"
source "$(dirname "$0")/lib_ui.sh"
# A display of its own: the probe reads the screen, where another scenario's window could lie
# over the one it judges.
unset DISPLAY
ui_init

# assert_rtl <control ID> <what>
assert_rtl() {
  local order
  order=$(ui_value "order.$1") || order="(none)"
  if [ "$order" = rtl ]; then
    e2e_pass "$2 reads right to left"
  else
    e2e_fail "$2 is laid out '$order', not right to left: $(ui_value "order.$1.detail")"
  fi
}

# scenario <name> <language>: the dialog and the success box
scenario() {
  e2e_new_prefix "$1"
  ui_run_setup "INSTALLER_LANGUAGE=$2" wait-dialog reading-order 302 reading-order 303 click 1 \
    wait-box reading-order 65535 click 1 wait-exit
  e2e_assert_exit 0
  assert_rtl 302 "$1: the dialog's sentence (string 203)"
  assert_rtl 303 "$1: the dialog's text on two lines (string 204)"
  assert_rtl 65535 "$1: the success box"
}

scenario "Hebrew" 1037
scenario "Arabic" 1025

e2e_new_prefix "Arabic failure"
ui_run_setup 'INSTALLER_LANGUAGE=1025 PELKO_TEST_FAIL=1' wait-dialog click 1 \
  wait-box reading-order 65535 click 1 wait-exit
e2e_assert_exit 1603
assert_rtl 65535 "Arabic failure box with its number"

e2e_finish
