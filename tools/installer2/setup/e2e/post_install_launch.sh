#!/usr/bin/env bash
# The one-shot launch request "PostInstallLaunch": a successful managed install starts the
# program it names and leaves no request behind; a failed install, a failed extraction and a
# cancelled interactive run delete the request and start nothing; an interactive run starts it
# after its success box.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"
source "$(dirname "$0")/lib_ui.sh"
e2e_init

[ -n "${E2E_APP_EXE:-}" ] && [ -f "$E2E_APP_EXE" ] || e2e_die "E2E_APP_EXE names no file"

# A copy of the demo application outside the product, for requests that another component
# left before the run.
OTHER_APP='C:\e2e\other\TavrinPelko.exe'

# leave_request: another component's request, written into the prefix before the run.
leave_request() {
  mkdir -p "$(e2e_unix_path 'C:\e2e\other')"
  cp "$E2E_APP_EXE" "$(e2e_unix_path "$OTHER_APP")"
  e2e_reg add 'HKCU\Software\Tavrin' /v PostInstallLaunch /t REG_SZ /d "$OTHER_APP" /f \
    >/dev/null
  wineserver -w
  e2e_assert_reg "$LAUNCH_KEY" PostInstallLaunch "$OTHER_APP" "request present before the run"
}

e2e_new_prefix "KORVO_AUTO_LAUNCH=1"
installdir=$(product_default_installdir)
e2e_run_setup 'KORVO=1 KORVO_AUTO_LAUNCH=1'
e2e_assert_exit 0
e2e_assert_reg "$RECEIVED_KEY" KORVO_AUTO_LAUNCH 1 "the package saw KORVO_AUTO_LAUNCH"
e2e_assert_no_reg "$LAUNCH_KEY" PostInstallLaunch "request consumed"
product_assert_started "${installdir}$APP_NAME"

e2e_new_prefix "request left by another component"
leave_request
e2e_run_setup 'KORVO=1'
e2e_assert_exit 0
e2e_assert_no_reg "$LAUNCH_KEY" PostInstallLaunch "request consumed"
product_assert_started "$OTHER_APP"

e2e_new_prefix "install fails with a request present"
leave_request
e2e_run_setup 'KORVO=1 PELKO_TEST_FAIL=1'
e2e_assert_exit 1603
e2e_assert_no_reg "$LAUNCH_KEY" PostInstallLaunch "request deleted"
product_assert_not_started

e2e_new_prefix "extraction fails with a request present"
leave_request
e2e_child_env TMP 'C:\e2e\missing'
e2e_child_env TEMP 'C:\e2e\missing'
e2e_run_setup 'KORVO=1'
e2e_assert_exit 1612
e2e_assert_no_reg "$LAUNCH_KEY" PostInstallLaunch "request deleted"
product_assert_not_started

# An interactive run whose customize dialog is cancelled: 1602, and the request is gone too.
e2e_new_prefix "interactive run cancelled with a request present"
[ -n "${E2E_UI_DRIVER_EXE:-}" ] && [ -f "$E2E_UI_DRIVER_EXE" ] ||
  e2e_die "E2E_UI_DRIVER_EXE names no file"
leave_request
exit_file="$E2E_TMP/cancelled-run.exit"
( e2e_run_setup '' && printf '%s' "$E2E_EXIT" >"$exit_file" ) &
setup_job=$!
driver_output=$(ui_drive wait-dialog click 2 wait-exit)
driver_status=$?
wait "$setup_job"
e2e_assert_eq 0 "$driver_status" "the dialog was found and cancelled (${driver_output//$'\r'/})"
E2E_EXIT=$(cat "$exit_file" 2>/dev/null)
e2e_assert_exit 1602
e2e_assert_no_reg "$LAUNCH_KEY" PostInstallLaunch "request deleted"
product_assert_not_started

# An interactive run with "Start Tavrin Pelko when setup is finished" checked: the package
# leaves the request and the installed application starts only once the success box is closed
# (its trace is newer than a mark made while the box was still open).
e2e_new_prefix "interactive run with the launch option"
installdir=$(product_default_installdir)
exit_file="$E2E_TMP/interactive-run.exit"
( e2e_run_setup '' && printf '%s' "$E2E_EXIT" >"$exit_file" ) &
setup_job=$!
launch_check=$(ui_drive wait-dialog check 315)
launch_check=${launch_check//$'\r'/}
steps=(wait-dialog)
[ "$launch_check" = "check.315=1" ] || steps+=(click 315)
driver_output=$(ui_drive "${steps[@]}" check 315 click 1 wait-box)
driver_status=$?
mark="$E2E_TMP/success-box-open"
touch "$mark"
e2e_assert_no_file "$(product_launch_trace)" "nothing started while the success box is open"
ui_drive wait-box close-box wait-exit >/dev/null
wait "$setup_job"
e2e_assert_eq 0 "$driver_status" "the option was set, the dialog confirmed, the success box shown"
case $driver_output in
  *check.315=1*) e2e_pass "the launch option was checked" ;;
  *) e2e_fail "the launch option is not checked: ${driver_output//$'\r'/}" ;;
esac
E2E_EXIT=$(cat "$exit_file" 2>/dev/null)
e2e_assert_exit 0
e2e_assert_no_reg "$LAUNCH_KEY" PostInstallLaunch "request consumed"
product_assert_started "${installdir}$APP_NAME"
if [ "$(product_launch_trace)" -nt "$mark" ]; then
  e2e_pass "the program started after the success box was closed"
else
  e2e_fail "the program started before the success box was closed"
fi

e2e_finish
