#!/usr/bin/env bash
# A package that asks for a restart at the end of its install (ScheduleReboot; the installer's
# result is 3010) has still been installed: the exit code stays 3010, the Start Menu shortcuts
# are renamed into the UI language, an interactive run shows the success box and the launch
# request is started after it. The installer's log is kept, as after every result but 0 and
# 1602. Nothing is restarted: Wine's installer only reports the request (its msi.dll has no
# way to end the session), and no restart is queued for later either.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"
source "$(dirname "$0")/lib_ui.sh"

[ -n "${E2E_SETUP_RESTART_EXE:-}" ] || e2e_die "E2E_SETUP_RESTART_EXE is not set"
# The same setup program around the package that schedules the restart.
E2E_SETUP_EXE=$E2E_SETUP_RESTART_EXE
ui_init

GERMAN=1031-de-DE.txt

# assert_restart_result <temporary folder, Windows path>: what every run here leaves behind.
assert_restart_result() {
  local temp log
  e2e_assert_exit 3010
  product_assert_installed "$(product_default_installdir)" "$GERMAN"
  e2e_assert_no_reg "$LAUNCH_KEY" PostInstallLaunch "request consumed"
  temp=$(e2e_unix_path "$1")
  log="$temp/$PACKAGE_NAME.log"
  e2e_assert_no_file "$temp/$PACKAGE_NAME" "package deleted"
  e2e_assert_nonempty_file "$log" "installer log kept"
  if grep -a -q 'ScheduleReboot' "$log" 2>/dev/null; then
    e2e_pass "the log records the scheduled restart"
  else
    e2e_fail "the log does not mention ScheduleReboot"
  fi
  # A forced restart would leave the installer's own resumption here.
  if e2e_reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce' |
     grep -q -i msiexec; then
    e2e_fail "the installer queued a restart continuation"
  else
    e2e_pass "no restart continuation queued"
  fi
}

e2e_new_prefix "managed, restart scheduled"
temp=$(e2e_temp_dir)
e2e_run_setup 'KORVO=1 INSTALLER_LANGUAGE=1031 KORVO_AUTO_LAUNCH=1'
assert_restart_result "$temp"
product_assert_started "$(product_default_installdir)$APP_NAME"

# The success box in German, and the application started only once it is closed (its trace is
# newer than a mark made while the box was still open).
e2e_new_prefix "interactive, restart scheduled"
temp=$(e2e_temp_dir)
exit_file="$E2E_TMP/interactive-run.exit"
( e2e_run_setup 'INSTALLER_LANGUAGE=1031' && printf '%s' "$E2E_EXIT" >"$exit_file" ) &
setup_job=$!
launch_check=$(ui_drive wait-dialog check 315)
steps=(wait-dialog)
[ "${launch_check//$'\r'/}" = "check.315=1" ] || steps+=(click 315)
driver_output=$(ui_drive "${steps[@]}" check 315 click 1 wait-box)
driver_status=$?
UI_OUT=${driver_output//$'\r'/}
mark="$E2E_TMP/success-box-open"
touch "$mark"
e2e_assert_no_file "$(product_launch_trace)" "nothing started while the success box is open"
ui_drive wait-box close-box wait-exit >/dev/null
wait "$setup_job"
e2e_assert_eq 0 "$driver_status" "the dialog was confirmed and a box shown"
ui_assert_value check.315 1 "the launch option was checked"
ui_assert_value box.caption "$(product_string "$GERMAN" 223)" "box caption (string 223)"
ui_assert_value box.text "$(product_string "$GERMAN" 216)" "the success message (string 216)"
E2E_EXIT=$(cat "$exit_file" 2>/dev/null)
assert_restart_result "$temp"
product_assert_started "$(product_default_installdir)$APP_NAME"
if [ "$(product_launch_trace)" -nt "$mark" ]; then
  e2e_pass "the application started after the success box was closed"
else
  e2e_fail "the application started before the success box was closed"
fi

e2e_finish
