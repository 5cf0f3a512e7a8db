#!/usr/bin/env bash
# The progress window answers while the installer works: another process asks it for an answer
# (WM_NULL, as the system does to tell whether a window still responds) all through an
# interactive install of the demo package. Judged by counts, not times: each question may wait
# five seconds, far more than the installer leaves between two of its messages, so a window
# served from those messages answers every question, and a window that nobody serves answers
# none.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"
source "$(dirname "$0")/lib_ui.sh"
ui_init
[ -n "${E2E_PROGRESS_PINGER_EXE:-}" ] && [ -f "$E2E_PROGRESS_PINGER_EXE" ] ||
  e2e_die "E2E_PROGRESS_PINGER_EXE names no file: ${E2E_PROGRESS_PINGER_EXE:-}"

e2e_new_prefix "questions during the install"
# Xvfb has no window manager. For a window it hands to one, Wine's X11 driver waits up to two
# seconds, serving nothing, for the manager to confirm the window is withdrawn, which would leave
# the question asked during the progress window's DestroyWindow unanswered: a stall of the test
# bench, not of the program.
e2e_reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
wineserver -w
pinger_out="$E2E_TMP/pinger.out"
PELKO_UI_TIMEOUT_MS=120000 wine "$E2E_PROGRESS_PINGER_EXE" 100 5000 >"$pinger_out" 2>&1 &
pinger=$!
ui_run_setup '' wait-dialog click 1 wait-box click 1 wait-exit
pinger_status=0
wait "$pinger" || pinger_status=$?
e2e_assert_exit 0
e2e_assert_eq 0 "$pinger_status" "the pinger watched the progress window to its end"
tr -d '\r' <"$pinger_out" | sed "s/^/   [$E2E_SCENARIO] pinger: /" >&2
asked=$(tr -d '\r' <"$pinger_out" | sed -n 's/^asked=//p')
answered=$(tr -d '\r' <"$pinger_out" | sed -n 's/^answered=//p')
if [ "${asked:-0}" -ge 1 ] && [ "${answered:-0}" = "$asked" ]; then
  e2e_pass "the progress window answered $answered of $asked questions"
else
  e2e_fail "the progress window answered ${answered:-none} of ${asked:-no} questions"
fi
product_assert_installed "$(product_default_installdir)"

e2e_finish
