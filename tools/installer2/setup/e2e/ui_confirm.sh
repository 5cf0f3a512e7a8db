#!/usr/bin/env bash
# The customize dialog confirmed: what the user sees on the way (the dialog, the progress window,
# the success box) and what reaches the package.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"
source "$(dirname "$0")/lib_ui.sh"
ui_init

caption=$(ui_string 0009 223)
success=$(ui_string 0009 216)

e2e_new_prefix "OK without changes"
temp=$(e2e_temp_dir)
ui_run_setup '' wait-dialog caption text 301 text 306 check 314 check 315 exstyle click 1 \
  watch-progress wait-box click 1 wait-exit
e2e_assert_exit 0
ui_assert_value caption "$caption" "dialog caption (string 223)"
ui_assert_value text.301 "$(ui_string 0009 202)" "dialog heading (string 202)"
ui_assert_value text.306 "$(product_default_installdir | sed 's/\\$//')" "install folder shown"
ui_assert_value check.314 1 "desktop shortcut box starts checked"
ui_assert_value check.315 1 "launch box starts checked"
if (( 0x$(ui_value exstyle) & 0x400000 )); then
  e2e_fail "template 300 must not be mirrored"
else
  e2e_pass "template 300 is left to right"
fi
percentages=$(ui_values progress.text | grep -E '^-?[0-9]+%$' || true)
if [ -n "$percentages" ]; then
  e2e_pass "the progress window showed percentages: $(echo $percentages)"
else
  e2e_fail "the progress window showed no percentage: $(ui_values progress.text | tr '\n' ' ')"
fi
# Rising: some percentage shown after the first is higher than the first.
first=$(printf '%s\n' $percentages | head -n 1)
highest=$(printf '%s\n' $percentages | tr -d % | sort -n | tail -n 1)
if [ -n "$first" ] && [ "${highest:-0}" -gt "${first%\%}" ]; then
  e2e_pass "the percentage rose from $first to $highest%"
else
  e2e_fail "the percentage did not rise: $(echo $percentages)"
fi
ui_assert_value progress.gone 1 "progress window gone at the end"
ui_assert_value box.progress_open 0 "progress window closed before the result box"
ui_assert_value box.caption "$caption" "result box caption (string 223)"
ui_assert_value box.text "$success" "success message (string 216)"
e2e_assert_reg "$RECEIVED_KEY" DESKTOPSHORTCUT 1 "DESKTOPSHORTCUT from the checked box"
e2e_assert_reg "$RECEIVED_KEY" KORVO_AUTO_LAUNCH 1 "KORVO_AUTO_LAUNCH from the checked box"
product_assert_installed "$(product_default_installdir)"
product_assert_temp_clean "$temp"

e2e_new_prefix "both boxes cleared"
ui_run_setup '' wait-dialog click 314 click 315 check 314 check 315 click 1 wait-box click 1 \
  wait-exit
e2e_assert_exit 0
ui_assert_value check.314 0 "desktop shortcut box cleared"
ui_assert_value check.315 0 "launch box cleared"
ui_assert_not_received DESKTOPSHORTCUT
ui_assert_not_received KORVO_AUTO_LAUNCH
e2e_assert_eq "" "$(product_desktop_shortcuts)" "no desktop shortcut"

e2e_new_prefix "both boxes cleared, values on the command line"
ui_run_setup 'DESKTOPSHORTCUT=0 KORVO_AUTO_LAUNCH=0' wait-dialog check 314 check 315 click 314 \
  click 315 click 1 wait-box click 1 wait-exit
e2e_assert_exit 0
ui_assert_value check.314 1 "boxes start checked whatever the command line says"
ui_assert_value check.315 1 "boxes start checked whatever the command line says"
e2e_assert_reg "$RECEIVED_KEY" DESKTOPSHORTCUT 0 "command-line DESKTOPSHORTCUT kept"
e2e_assert_reg "$RECEIVED_KEY" KORVO_AUTO_LAUNCH 0 "command-line KORVO_AUTO_LAUNCH kept"

e2e_finish
