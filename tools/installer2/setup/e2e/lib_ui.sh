# Helpers of the interactive end-to-end scenarios (ui_*.sh). Source after lib.sh and
# demo_product.sh, then call ui_init instead of e2e_init.
#
#   ui_init                            e2e_init, and a private Xvfb when DISPLAY is not set
#   ui_run_setup 'ARGS' STEP...        runs setup.exe with ARGS (as e2e_run_setup) while ui_driver
#                                      plays the user with the given steps (see ui_driver.cc);
#                                      E2E_EXIT is the exit code, UI_OUT the driver's lines
#   ui_drive STEP...                   the driver alone, in the foreground (the script runs
#                                      setup.exe itself); prints its lines, gives its status
#   ui_value KEY                       the first value the driver printed for KEY (status 1: none)
#   ui_values KEY                      every value printed for KEY, one a line
#   ui_assert_value KEY EXPECTED WHAT  a check on ui_value
#   ui_string LANGID ID                string ID of the translation source LANGID (e.g. 0009)
#   ui_assert_not_received NAME        the package got no value for property NAME
#
# Inputs: E2E_UI_DRIVER_EXE (Unix path of ui_driver.exe) besides those of lib.sh.

UI_OUT=""
UI_XVFB_PID=""
UI_PENDING_OUT=""  # the output file of a driver whose run has not been reported yet
UI_TRANSLATIONS="$(cd "$(dirname "${BASH_SOURCE[0]}")/../l10n/translations" && pwd)"

ui_print_driver_output() {
  tr -d '\r' <"$1" | sed "s/^/   [$E2E_SCENARIO] driver: /" >&2
  if [ -s "$1.err" ]; then
    tr -d '\r' <"$1.err" | sed "s/^/   [$E2E_SCENARIO] driver stderr: /" >&2
  fi
}

ui_cleanup() {
  # A harness error in the middle of a run: what the driver got to is the best clue.
  if [ -n "$UI_PENDING_OUT" ] && [ -f "$UI_PENDING_OUT" ]; then
    ui_print_driver_output "$UI_PENDING_OUT"
  fi
  e2e_cleanup
  if [ -n "$UI_XVFB_PID" ]; then kill "$UI_XVFB_PID" 2>/dev/null || true; fi
}

ui_init() {
  [ -n "${E2E_UI_DRIVER_EXE:-}" ] && [ -f "$E2E_UI_DRIVER_EXE" ] ||
    e2e_die "E2E_UI_DRIVER_EXE names no file: ${E2E_UI_DRIVER_EXE:-}"
  e2e_init
  trap ui_cleanup EXIT
  if [ -z "${DISPLAY:-}" ]; then
    local number
    for number in $(seq 200 299 | shuf); do
      [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
      Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      UI_XVFB_PID=$!
      export DISPLAY=":$number"
      sleep 1
      kill -0 "$UI_XVFB_PID" 2>/dev/null && break
      UI_XVFB_PID=""
    done
    [ -n "$UI_XVFB_PID" ] || e2e_die "no display for the interactive scenarios"
  fi
}

# ui_start_driver OUT STEP...: starts the driver in the background (UI_DRIVER_JOB) and returns
# once it runs. Under load Wine now and then loses a program while starting it, or leaves it
# stuck; nothing of the driver has run then, so it is started again, at most three times. A
# driver that ends with a status other than 0 or 3 (3: it gave up and ended the setup itself)
# leaves a setup waiting for a user that never comes, so the prefix's programs are stopped.
ui_start_driver() {
  local out=$1 attempt tick ended
  shift
  for attempt in 1 2 3; do
    rm -f "$out.status"
    : >"$out"
    (
      PELKO_UI_SIGNAL_READY=1 PELKO_UI_TIMEOUT_MS="${UI_TIMEOUT_MS:-120000}" \
        wine "$E2E_UI_DRIVER_EXE" "$@" >"$out" 2>"$out.err"
      status=$?
      printf '%s' "$status" >"$out.status"
      case $status in 0|3) ;; *) wineserver -k >/dev/null 2>&1 ;; esac
      exit "$status"
    ) &
    UI_DRIVER_JOB=$!
    for tick in $(seq 600); do
      if grep -q '^driver.ready=1' "$out"; then return 0; fi
      [ -f "$out.status" ] && break
      sleep 0.1
    done
    ended=$(cat "$out.status" 2>/dev/null) || ended="none, still starting after 60 s"
    e2e_log "-- [$E2E_SCENARIO] the driver did not start (status $ended; attempt $attempt of 3):" \
      "$(tr -d '\r' <"$out" | head -c 300)"
    wineserver -k >/dev/null 2>&1
    wait "$UI_DRIVER_JOB"
    wineserver -w
  done
  e2e_die "the driver could not be started"
}

# ui_drive STEP...: the driver in the foreground, for a script that runs setup.exe itself in
# the background; prints the driver's lines and gives its status. A start that Wine loses (the
# driver ends without its ready line) is tried again, at most three times.
ui_drive() {
  local out attempt status
  out=$(mktemp "$E2E_TMP/ui-drive.XXXXXX")
  for attempt in 1 2 3; do
    PELKO_UI_SIGNAL_READY=1 PELKO_UI_TIMEOUT_MS="${UI_TIMEOUT_MS:-120000}" \
      wine "$E2E_UI_DRIVER_EXE" "$@" >"$out" 2>"$out.err"
    status=$?
    if grep -q '^driver.ready=1' "$out"; then
      grep -v '^driver.ready=1' "$out"
      return "$status"
    fi
    e2e_log "-- [$E2E_SCENARIO] the driver did not start (status $status; attempt $attempt of 3)"
  done
  cat "$out" "$out.err"
  return "$status"
}

ui_run_setup() {
  local arguments=$1 out status
  shift
  out="$E2E_TMP/ui-driver-$E2E_PREFIX_COUNT.out"
  e2e_log "-- [$E2E_SCENARIO] driver: $*"
  ui_start_driver "$out" "$@"
  UI_PENDING_OUT=$out
  e2e_run_setup "$arguments"
  wait "$UI_DRIVER_JOB"
  status=$?
  UI_PENDING_OUT=""
  UI_OUT=$(tr -d '\r' <"$out")
  ui_print_driver_output "$out"
  if [ "$status" -ne 0 ]; then
    e2e_fail "the driver could not play its part (status $status): $(ui_value error || cat "$out.err")"
  fi
}

ui_value() {
  local line
  while IFS= read -r line; do
    if [ "${line%%=*}" = "$1" ]; then
      printf '%s' "${line#*=}"
      return 0
    fi
  done <<<"$UI_OUT"
  return 1
}

ui_values() {
  local line
  while IFS= read -r line; do
    if [ "${line%%=*}" = "$1" ]; then printf '%s\n' "${line#*=}"; fi
  done <<<"$UI_OUT"
}

ui_assert_value() {
  local actual
  if actual=$(ui_value "$1"); then
    e2e_assert_eq "$2" "$actual" "$3"
  else
    e2e_fail "$3: the driver printed no $1"
  fi
}

ui_string() {
  local file
  file=$(ls "$UI_TRANSLATIONS/$1"-*.txt 2>/dev/null | head -n 1)
  [ -n "$file" ] || e2e_die "no translation source for language $1"
  awk -F'\t' -v id="$2" '$1 == id { print $2; exit }' "$file"
}

# Absent, or recorded empty: the package's own property was never set.
ui_assert_not_received() {
  local value status
  value=$(e2e_reg_get "$RECEIVED_KEY" "$1")
  status=$?
  case $status in
    0) if [ -z "$value" ]; then e2e_pass "$1 not given to the package"
       else e2e_fail "$1 should not reach the package, got '$value'"; fi ;;
    1) e2e_pass "$1 not given to the package" ;;
    *) e2e_die "cannot read $RECEIVED_KEY\\$1" ;;
  esac
}
