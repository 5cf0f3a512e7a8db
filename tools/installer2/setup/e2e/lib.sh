# Shared helpers of the end-to-end tests: the real setup.exe under Wine, one fresh Wine prefix
# per scenario, judged by what a user or the package sees (exit code, files, registry values).
#
# A scenario script sources this file and then:
#   e2e_init                         own temp dir (removed at exit), a private HOME, Wine settings
#   e2e_new_prefix "name"            a fresh prefix for the scenario "name" (the previous one is
#                                    shut down and removed); setup.exe is copied to C:\e2e\
#   e2e_child_env TMP 'C:\x\'        an environment variable for the next started programs
#   e2e_hold_file 'C:\x\f'           the next start holds this file open, without sharing
#   e2e_run_setup 'KORVO=1 A="b c"'  runs setup.exe with exactly that after its program token;
#                                    E2E_EXIT is then the full 32-bit exit code
#   e2e_run 'C:\p.exe' '"C:\p.exe" x'  the same for any program and exact command line
#   e2e_reg_get 'HKCU\Software\K' V  prints a string or DWORD value; status 1 when it is absent
#   e2e_reg query 'HKCU\Software\K' /s  reg.exe in the prefix (started again if it does not start)
#   e2e_temp_dir                     the temporary folder (Windows path) setup.exe would use
#   e2e_unix_path 'C:\x'             the Unix path of a Windows path (the prefix's drive mapping)
#   e2e_assert_* ...                 checks that report a clear message and let the script go on
#   e2e_finish                       exit status: 0 when every check passed
#
# Inputs (environment; the CMake test registration sets them):
#   E2E_SETUP_EXE, E2E_RUNNER_EXE, E2E_PROBE_EXE  Unix paths of the built programs
#   E2E_PRISTINE_PREFIX  optional: a prefix made once per test run (pristine_prefix.sh); each
#                        scenario then starts from a copy of it instead of running wineboot
#   E2E_TMPDIR           optional: where the scenario's temp dir goes (default: TMPDIR or /tmp)
#   E2E_KEEP=1           optional: keep the temp dir and prefixes for inspection
#
# Wine runs with WINEDEBUG=-all, without mscoree and mshtml (no Mono or Gecko prompts) and
# without winemenubuilder (it would put the package's shortcuts into the real desktop menus);
# HOME points into the temp dir, and the prefix's user folders are real folders, not links into
# HOME. Everything a scenario makes stays in its temp dir, so scenarios run in parallel safely.

set -u

export LC_ALL=C.UTF-8  # Wine converts arguments, environment and file names with the locale.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

E2E_FAILURES=0
E2E_CHECKS=0
E2E_SCENARIO=""
E2E_PREFIX_COUNT=0
E2E_CHILD_ENV=()
E2E_HOLD=""
E2E_EXIT=""
E2E_SETUP_WIN='C:\e2e\setup.exe'

e2e_log() { printf '%s\n' "$*" >&2; }

# Also called inside $(...), where exit leaves only the subshell: the mark makes e2e_finish
# fail the script all the same.
e2e_die() {
  e2e_log "E2E HARNESS ERROR${E2E_SCENARIO:+ [$E2E_SCENARIO]}: $*"
  if [ -n "${E2E_TMP:-}" ] && [ -d "$E2E_TMP" ]; then : >"$E2E_TMP/harness-error"; fi
  exit 2
}

e2e_init() {
  local var
  for var in E2E_SETUP_EXE E2E_RUNNER_EXE E2E_PROBE_EXE; do
    [ -n "${!var:-}" ] || e2e_die "$var is not set"
    [ -f "${!var}" ] || e2e_die "$var names no file: ${!var}"
  done
  E2E_TMP=$(mktemp -d "${E2E_TMPDIR:-${TMPDIR:-/tmp}}/pelko-e2e.XXXXXX") || e2e_die "no temp dir"
  export HOME="$E2E_TMP/home"
  mkdir -p "$HOME"
  unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_DESKTOP_DIR
  trap e2e_cleanup EXIT
  E2E_START_SECONDS=$SECONDS
}

# Shuts the current prefix's Wine down and removes it (unless E2E_KEEP=1).
e2e_drop_prefix() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    if [ "${E2E_KEEP:-0}" != 1 ]; then rm -rf "$WINEPREFIX"; fi
  fi
  unset WINEPREFIX
}

e2e_cleanup() {
  e2e_drop_prefix
  if [ "${E2E_KEEP:-0}" = 1 ]; then
    e2e_log "kept: $E2E_TMP"
  elif [ -n "${E2E_TMP:-}" ]; then
    rm -rf "$E2E_TMP"
  fi
}

# Makes a prefix by hand: wineboot, then the user's shell folders (Desktop, Documents, ...) as
# real folders, since Wine links them into HOME.
e2e_boot_prefix() {
  local prefix=$1 link
  mkdir -p "$(dirname "$prefix")"
  WINEPREFIX=$prefix wineboot -i >/dev/null 2>&1 || return 1
  WINEPREFIX=$prefix wineserver -w
  [ -f "$prefix/system.reg" ] || return 1
  while IFS= read -r -d '' link; do
    rm -f "$link" && mkdir -p "$link"
  done < <(find "$prefix/drive_c/users" -mindepth 2 -maxdepth 2 -type l -print0)
}

# A copy of a prefix in well under a second instead of a few: the system DLL folders (nearly
# all of the 700 MB) become hard links, since nothing rewrites a file there in place (an
# install replaces a file, which unlinks it); every other file is a real copy of its own.
e2e_copy_prefix() {
  local from=$1 to=$2 file
  cp -al "$from" "$to" || return 1
  while IFS= read -r -d '' file; do
    cp -p "$file" "$file.e2e-copy" && mv -f "$file.e2e-copy" "$file" || return 1
  done < <(find "$to" \( -path "$to/drive_c/windows/system32" -o \
                         -path "$to/drive_c/windows/syswow64" -o \
                         -path "$to/drive_c/windows/winsxs" \) -prune -o -type f -print0)
}

e2e_new_prefix() {
  E2E_SCENARIO=$1
  e2e_drop_prefix
  E2E_PREFIX_COUNT=$((E2E_PREFIX_COUNT + 1))
  local prefix="$E2E_TMP/prefix-$E2E_PREFIX_COUNT" started=$SECONDS
  if [ -n "${E2E_PRISTINE_PREFIX:-}" ] && [ -f "$E2E_PRISTINE_PREFIX/.pelko-pristine" ]; then
    e2e_copy_prefix "$E2E_PRISTINE_PREFIX" "$prefix" || e2e_die "cannot copy $E2E_PRISTINE_PREFIX"
  else
    e2e_boot_prefix "$prefix" || e2e_die "wineboot failed for $prefix"
  fi
  export WINEPREFIX=$prefix
  mkdir -p "$prefix/drive_c/e2e"
  cp "$E2E_SETUP_EXE" "$prefix/drive_c/e2e/setup.exe"
  E2E_CHILD_ENV=()
  E2E_HOLD=""
  E2E_EXIT=""
  e2e_log "== [$E2E_SCENARIO] prefix ready in $((SECONDS - started)) s"
}

e2e_child_env() { E2E_CHILD_ENV+=("PELKO_E2E_ENV_$1=$2"); }
e2e_hold_file() { E2E_HOLD=$1; }

# e2e_run <Windows program path> <exact command line>: sets E2E_EXIT to the program's exit code.
# The settings of e2e_child_env and e2e_hold_file apply to this start only.
e2e_run() {
  local program=$1 command_line=$2 output status
  [ -n "${WINEPREFIX:-}" ] || e2e_die "e2e_run before e2e_new_prefix"
  e2e_log "-- [$E2E_SCENARIO] run: $command_line"
  output=$(env "${E2E_CHILD_ENV[@]}" PELKO_E2E_PROGRAM="$program" \
    PELKO_E2E_CMDLINE="$command_line" PELKO_E2E_HOLD="$E2E_HOLD" \
    PELKO_E2E_TIMEOUT_MS="${E2E_TIMEOUT_MS:-300000}" wine "$E2E_RUNNER_EXE")
  status=$?
  # A failed runner ends the scenario: whatever still runs in the prefix is stopped, not waited
  # for (a hung helper would otherwise hold the test for its own timeout as well).
  if [ "$status" -ne 0 ]; then wineserver -k >/dev/null 2>&1; fi
  wineserver -w
  E2E_CHILD_ENV=()
  E2E_HOLD=""
  output=${output//$'\r'/}
  [ "$status" -eq 0 ] && [[ "$output" =~ ^[0-9]+$ ]] ||
    e2e_die "the runner failed (status $status, output '$output')"
  E2E_EXIT=$output
  e2e_log "-- [$E2E_SCENARIO] exit code $E2E_EXIT"
}

# e2e_run_setup <what follows the program token>: the command line is the quoted path of
# setup.exe, one blank and the given text, unchanged.
e2e_run_setup() { e2e_run "$E2E_SETUP_WIN" "\"$E2E_SETUP_WIN\" $1"; }

# The probe's own statuses: 0 printed, 10 absent, 11 another type or a failed read (told on
# standard error), 12 usage. Any other status is Wine failing to run it: 1 is what Wine exits
# with when a program loses its wineserver. Both failures get one more start, once the
# wineserver of the failed one is gone.
e2e_probe() {
  local status=0
  wine "$E2E_PROBE_EXE" "$@" || status=$?
  case $status in
    0|10|12) return $status ;;
  esac
  e2e_log "-- e2e_probe $1 ended with status $status; starting it again"
  wineserver -w
  wine "$E2E_PROBE_EXE" "$@"
}

# Status 0 with the value printed, 1 when the key or value is absent; a harness failure ends
# the script.
e2e_reg_get() {
  local value status
  value=$(e2e_probe reg-get "$1" "$2")
  status=$?
  case $status in
    0) printf '%s' "$value" ;;
    10) return 1 ;;
    *) e2e_log "E2E HARNESS ERROR: e2e_probe reg-get '$1' '$2' failed with status $status"
       return 2 ;;
  esac
}

# e2e_reg <reg.exe arguments...>: reg.exe in the prefix, its output without carriage returns and
# its status. reg.exe is a Wine process of its own, and under load one now and then does not
# start: a run that ends with a failure and without a word of reg's own ("reg: ...") is started
# again, twice at most, with a log line each time. A missing key is reg's own answer, not retried.
e2e_reg() {
  local attempt out status
  for attempt in 1 2 3; do
    status=0
    out=$(wine reg "$@" 2>"$E2E_TMP/reg.err") || status=$?
    if [ "$status" -eq 0 ] || [[ $out == *"reg: "* ]] || grep -q '^reg: ' "$E2E_TMP/reg.err"; then
      [ -z "$out" ] || printf '%s\n' "${out//$'\r'/}"
      return "$status"
    fi
    e2e_log "-- [$E2E_SCENARIO] reg $1 ended with status $status and no answer of its own;" \
            "attempt $attempt of 3: $(head -c 300 "$E2E_TMP/reg.err")"
    wineserver -w >/dev/null 2>&1 || true
  done
  return "$status"
}

# The temporary folder that programs started in this prefix get by default.
e2e_temp_dir() {
  e2e_probe temp-path || e2e_die "e2e_probe temp-path failed"
}

e2e_expand() { e2e_probe expand "$1" || e2e_die "e2e_probe expand '$1' failed"; }

# The prefix's drive mapping is known (dosdevices/<letter>:), so no Wine process is started for
# this: winepath, a Wine program, could fail to start under load. Each existing component is
# found without regard to case, as Wine finds it; a missing one is kept as it is written.
e2e_unix_path() {
  local path component entry lower found drive components=()
  [[ $1 =~ ^([A-Za-z]):(.*)$ ]] || e2e_die "not a Windows path with a drive: '$1'"
  drive=${BASH_REMATCH[1],,}
  IFS='\' read -r -a components <<<"${BASH_REMATCH[2]}"
  path=$(cd "$WINEPREFIX/dosdevices/$drive:" 2>/dev/null && pwd -P) ||
    e2e_die "drive $drive: is not mapped in $WINEPREFIX"
  for component in "${components[@]}"; do
    case $component in
      '' | .) continue ;;
      ..) path=${path%/*}; [ -n "$path" ] || path=/; continue ;;
    esac
    if [ ! -e "$path/$component" ] && [ -d "$path" ]; then
      lower=${component,,}
      found=""
      for entry in "$path"/* "$path"/.*; do
        entry=${entry##*/}
        if [ "${entry,,}" = "$lower" ]; then found=$entry; break; fi
      done
      [ -z "$found" ] || component=$found
    fi
    path=${path%/}/$component
  done
  printf '%s' "$path"
}

# --- checks: each prints one line and counts a failure without stopping the script ----------

e2e_pass() {
  E2E_CHECKS=$((E2E_CHECKS + 1))
  e2e_log "ok   [$E2E_SCENARIO] $*"
}

e2e_fail() {
  E2E_CHECKS=$((E2E_CHECKS + 1))
  E2E_FAILURES=$((E2E_FAILURES + 1))
  e2e_log "FAIL [$E2E_SCENARIO] $*"
}

# e2e_assert_eq <expected> <actual> <what>
e2e_assert_eq() {
  if [ "$1" = "$2" ]; then e2e_pass "$3: '$2'"; else e2e_fail "$3: expected '$1', got '$2'"; fi
}

e2e_assert_exit() { e2e_assert_eq "$1" "$E2E_EXIT" "exit code"; }

e2e_assert_file() {
  if [ -f "$1" ]; then e2e_pass "${2:-file present}: $1"; else e2e_fail "${2:-file missing}: no file $1"; fi
}

e2e_assert_no_file() {
  if [ ! -e "$1" ]; then e2e_pass "${2:-absent}: $1"; else e2e_fail "${2:-should be absent}: $1 exists"; fi
}

e2e_assert_dir() {
  if [ -d "$1" ]; then e2e_pass "${2:-folder present}: $1"; else e2e_fail "${2:-folder missing}: no folder $1"; fi
}

e2e_assert_nonempty_file() {
  if [ -s "$1" ]; then e2e_pass "${2:-non-empty file}: $1"; else e2e_fail "${2:-non-empty file expected}: $1"; fi
}

# e2e_assert_reg <key> <value name> <expected text> [what]
e2e_assert_reg() {
  local actual status
  actual=$(e2e_reg_get "$1" "$2")
  status=$?
  case $status in
    0) e2e_assert_eq "$3" "$actual" "${4:-$1\\$2}" ;;
    1) e2e_fail "${4:-$1\\$2}: value absent, expected '$3'" ;;
    *) e2e_die "cannot read $1\\$2" ;;
  esac
}

e2e_assert_no_reg() {
  local actual status
  actual=$(e2e_reg_get "$1" "$2")
  status=$?
  case $status in
    0) e2e_fail "${3:-$1\\$2}: should be absent, holds '$actual'" ;;
    1) e2e_pass "${3:-$1\\$2}: absent" ;;
    *) e2e_die "cannot read $1\\$2" ;;
  esac
}

e2e_finish() {
  E2E_SCENARIO=""
  if [ -f "$E2E_TMP/harness-error" ]; then
    E2E_FAILURES=$((E2E_FAILURES + 1))
    e2e_log "FAIL a harness step failed (see E2E HARNESS ERROR above)"
  fi
  e2e_log "== $E2E_CHECKS checks, $E2E_FAILURES failed, $E2E_PREFIX_COUNT prefixes, $((SECONDS - E2E_START_SECONDS)) s"
  [ "$E2E_FAILURES" -eq 0 ]
  exit $?
}
