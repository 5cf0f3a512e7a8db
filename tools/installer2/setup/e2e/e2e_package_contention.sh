#!/usr/bin/env bash
# Another process goes for the package while setup.exe writes and installs it. The package is
# held from its write until its deletion, so while the installer can read it, opening it for
# writing, deleting it and renaming it are refused; a valid package put in its place is never
# installed, and each run either installs the genuine package or ends with 1612 and nothing
# installed.
# E2E_CONTENDER_EXE is package_contender.exe; E2E_OTHER_PACKAGE the other valid package (it
# records HKCU\Software\Tavrin\Pelko Setup Test\Echo and installs payload.txt).
# E2E_HAMMER_RUNS (default 3) and E2E_REPLACE_RUNS (default 20) set how many runs each contender
# gets.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"
e2e_init
for var in E2E_CONTENDER_EXE E2E_OTHER_PACKAGE; do
  [ -f "${!var:-}" ] || e2e_die "$var names no file: ${!var:-}"
done
OTHER_KEY='HKCU\Software\Tavrin\Pelko Setup Test'
REPORT='C:\e2e\contender-report.txt'

# contender_run <hammer | replace>: setup.exe KORVO=1, started by the contender; the report is
# then in $report.
contender_run() {
  local mode=$1 extra=''
  cp "$E2E_CONTENDER_EXE" "$WINEPREFIX/drive_c/e2e/contender.exe"
  if [ "$mode" = replace ]; then
    cp "$E2E_OTHER_PACKAGE" "$WINEPREFIX/drive_c/e2e/other.msi"
    extra=' C:\e2e\other.msi'
  fi
  e2e_run 'C:\e2e\contender.exe' \
    "\"C:\\e2e\\contender.exe\" $mode $PACKAGE_NAME $REPORT$extra -- \"$E2E_SETUP_WIN\" KORVO=1"
  report=$(tr -d '\r' <"$WINEPREFIX/drive_c/e2e/contender-report.txt" 2>/dev/null)
}

report_value() { sed -n "s/^$1=//p" <<<"$report"; }

other_not_installed() {
  e2e_assert_no_reg "$OTHER_KEY" Echo "the other package left no trace"
  e2e_assert_no_file "$(e2e_unix_path "$(e2e_expand '%ProgramFiles%')")/Pelko Setup Test/payload.txt" \
    "the other package installed no file"
}

# run_outcome: the genuine package installed (exit 0) or nothing installed (1612); the other
# package never.
run_outcome() {
  other_not_installed
  case $E2E_EXIT in
    0) product_assert_installed "$(product_default_installdir)"; installed=$((installed + 1)) ;;
    1612) product_assert_not_installed; refused=$((refused + 1)) ;;
    *) e2e_fail "exit code $E2E_EXIT: neither installed (0) nor refused (1612)" ;;
  esac
  e2e_log "   contender: $(tr '\n' ' ' <<<"$report")"
}

installed=0
refused=0
# Several runs, so that both endings (installed, or 1612 after a write got in) are likely seen.
for ((run = 1; run <= ${E2E_HAMMER_RUNS:-3}; run++)); do
  e2e_new_prefix "writing, deleting and renaming while setup.exe runs, run $run"
  temp=$(e2e_temp_dir)
  contender_run hammer
  run_outcome
  product_assert_temp_clean "$temp"
  e2e_assert_eq 1 "$(report_value appeared)" "the contender saw the package appear"
  # While the package is held every attempt is refused. Only in the two moments when the run
  # changes its handles can one get through: a write after the writing handle is closed (the
  # contender then writes a byte, the run notices and ends with 1612), a deletion or rename once
  # the installer is done. So an install that went through saw no write at all.
  if [ "$E2E_EXIT" = 0 ]; then
    e2e_assert_eq 0 "$(report_value write)" "writes that got through"
    for op in write delete rename; do
      refused_count=$(report_value "${op}_refused")
      if [ "${refused_count:-0}" -gt 0 ]; then
        e2e_pass "$op refused $refused_count times while the package was held"
      else
        e2e_fail "$op was never refused: the contender did not reach the held package"
      fi
    done
  fi
done

# The replacing runs are judged from the prefix's own files, with no Wine process of their own
# (a Wine start costs more than the checks): the prefixes are copies of one, so the folders are
# the same, and the registry is in user.reg once the run's wineserver has ended.
app_rel=$(e2e_unix_path "$(product_default_installdir)")/$APP_NAME
app_rel=${app_rel#"$WINEPREFIX"/}
other_rel=$(e2e_unix_path "$(e2e_expand '%ProgramFiles%')")/'Pelko Setup Test/payload.txt'
other_rel=${other_rel#"$WINEPREFIX"/}
temp_rel=$(e2e_unix_path "$temp")
temp_rel=${temp_rel#"$WINEPREFIX"/}
in_registry() { grep -qF "[$1]" "$WINEPREFIX/user.reg"; }
for ((run = 1; run <= ${E2E_REPLACE_RUNS:-20}; run++)); do
  e2e_new_prefix "replacing the package, run $run"
  contender_run replace
  e2e_log "   contender: $(tr '\n' ' ' <<<"$report")"
  if in_registry 'Software\\Tavrin\\Pelko Setup Test' || [ -e "$WINEPREFIX/$other_rel" ]; then
    e2e_fail "the other package was installed"
  else
    e2e_pass "the other package left no trace"
  fi
  app="$WINEPREFIX/$app_rel"
  case $E2E_EXIT in
    0)
      installed=$((installed + 1))
      if in_registry 'Software\\Tavrin\\Tavrin Pelko Vanta\\Received' && [ -f "$app" ] &&
         { [ -z "${E2E_APP_EXE:-}" ] || cmp -s "$E2E_APP_EXE" "$app"; }; then
        e2e_pass "the genuine package is installed"
      else
        e2e_fail "exit code 0 without the genuine package installed"
      fi ;;
    1612)
      refused=$((refused + 1))
      if in_registry 'Software\\Tavrin\\Tavrin Pelko Vanta\\Received' || [ -e "$app" ]; then
        e2e_fail "exit code 1612, yet something was installed"
      else
        e2e_pass "1612 and nothing installed"
      fi ;;
    *) e2e_fail "exit code $E2E_EXIT: neither installed (0) nor refused (1612)" ;;
  esac
  # Once the install is over the contender may put its copy at the name; the run's own
  # package never stays.
  left="$WINEPREFIX/$temp_rel/$PACKAGE_NAME"
  if [ -f "$left" ] && ! cmp -s "$left" "$E2E_OTHER_PACKAGE"; then
    e2e_fail "a package other than the contender's copy is left at $left"
  else
    e2e_pass "the run's package is gone from the temporary folder"
  fi
done
e2e_log "   $installed runs installed the genuine package, $refused ended with 1612 (the first ones: the writing, deleting and renaming contender)"

e2e_finish
