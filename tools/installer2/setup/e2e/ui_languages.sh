#!/usr/bin/env bash
# INSTALLER_LANGUAGE chooses the dialog's language: Hebrew gets the mirrored template 301 with
# Hebrew texts, German the template 300 with German texts.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"
source "$(dirname "$0")/lib_ui.sh"
ui_init

# scenario <name> <language> <translation source> <mirrored: 1 or 0>
scenario() {
  local name=$1 language=$2 source=$3 mirrored=$4 id mark=''
  # A right-to-left language opens every text shown with a right-to-left embedding.
  if [ "$mirrored" = 1 ]; then mark=$'\u202b'; fi
  e2e_new_prefix "$name"
  ui_run_setup "INSTALLER_LANGUAGE=$language" wait-dialog exstyle caption text 301 text 302 \
    text 305 text 307 text 314 text 1 text 2 click 2 wait-exit
  e2e_assert_exit 1602
  if (( 0x$(ui_value exstyle) & 0x400000 )); then actual=1; else actual=0; fi
  e2e_assert_eq "$mirrored" "$actual" "dialog mirrored (template 301)"
  ui_assert_value caption "$mark$(ui_string "$source" 223)" "caption in the language"
  for id in 301:202 302:203 305:206 307:209 314:213 1:210 2:211; do
    ui_assert_value "text.${id%%:*}" "$mark$(ui_string "$source" "${id#*:}")" \
      "control ${id%%:*} shows string ${id#*:}"
  done
  if [ "$(ui_value text.301)" = "$(ui_string 0009 202)" ]; then
    e2e_fail "the heading is still English"
  fi
}

scenario "Hebrew" 1037 1037 1
scenario "Hebrew given in hex" 0x40D 1037 1
scenario "German" 1031 1031 0

e2e_finish
