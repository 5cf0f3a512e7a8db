#!/usr/bin/env bash
# Every Windows version the manifest declares, as Wine's per-prefix version setting: in each, a
# failing managed install (1603, log kept, nothing installed), a managed install (0) and an
# interactive run confirmed as it opens (0, success box) give the same exit codes and leave the
# same product behind. A probe and the package itself confirm which version each prefix reports.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"
source "$(dirname "$0")/lib_ui.sh"
ui_init

# name | RtlGetVersion | the installer's VersionNT | its WindowsBuild. The installer's own
# properties stop at Windows 8.1 (603, 9600), as Windows Installer's do for every program:
# Windows 10 and 11 show only in what RtlGetVersion reports.
VERSIONS=(
  "win7|6.1.7601|601|7601"
  "win81|6.3.9600|603|9600"
  "win10|10.0.18362|603|9600"
  "win11|10.0.22000|603|9600"
)
# Windows 11 is Windows 10.0 from build 22000 on. Wine 8.0 has no name for it, so it is its
# Windows 10 with that build number in the registry, which Wine reports when no name is set.
WINDOWS_11_BUILD=22000
NT_KEY='HKLM\Software\Microsoft\Windows NT\CurrentVersion'

set_windows_version() {
  local name=$1
  [ "$name" = win11 ] && name=win10
  wine winecfg /v "$name" >/dev/null 2>&1
  wineserver -w
  if [ "$1" = win11 ]; then
    e2e_reg add "$NT_KEY" /v CurrentBuildNumber /d "$WINDOWS_11_BUILD" /f >/dev/null &&
      e2e_reg add "$NT_KEY" /v CurrentBuild /d "$WINDOWS_11_BUILD" /f >/dev/null ||
      e2e_die "cannot set the build number of Windows 11"
    wineserver -w
  fi
}

# new_version_prefix <scenario name> <version name> <expected RtlGetVersion>
new_version_prefix() {
  e2e_new_prefix "$2: $1"
  set_windows_version "$2"
  REPORTED=$(e2e_probe os-version)
  e2e_assert_eq "$3" "$REPORTED" "the version a program is told (RtlGetVersion)"
}

# received_values: every value the package recorded, "NAME=VALUE" a line, sorted (one start of
# reg.exe instead of one probe per value; the values here are plain ASCII).
received_values() {
  e2e_reg query "$RECEIVED_KEY" |
    awk '$2 ~ /^REG_/ { name = $1; $1 = ""; $2 = ""; sub(/^  /, ""); print name "=" $0 }' | sort
}

# received <values> <NAME>: one value out of received_values.
received() { printf '%s\n' "$1" | sed -n "s/^$2=//p"; }

# assert_installer_saw <VersionNT> <WindowsBuild>: the version the installer itself ran on (SEEN,
# for the matrix), and in RESULT what the product left behind apart from it: the properties the
# package received and the product's files as relative paths.
assert_installer_saw() {
  local values
  values=$(received_values)
  e2e_assert_eq "$1" "$(received "$values" VersionNT)" "VersionNT the installer saw"
  e2e_assert_eq "$2" "$(received "$values" WindowsBuild)" "WindowsBuild the installer saw"
  SEEN="VersionNT $(received "$values" VersionNT), WindowsBuild $(received "$values" WindowsBuild)"
  RESULT=$(printf '%s\n' "$values" | grep -v -E '^(VersionNT|WindowsBuild)='
    cd "$WINEPREFIX/drive_c" && find "Program Files/Tavrin" users/*/AppData/*/Tavrin \
      users/*/"AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tavrin Pelko" \
      users/*/Desktop -print 2>/dev/null | sort)
}

# remember_result <kind>: the first version's result of each kind is the one the others match.
declare -A FIRST_RESULT MATRIX
remember_result() {
  local result=$RESULT
  if ! grep -q -F "Program Files/Tavrin/Tavrin Pelko/$APP_NAME" <<<"$result"; then
    e2e_fail "the $1 run's result lists no installed application: $result"
  elif [ -z "${FIRST_RESULT[$1]:-}" ]; then
    FIRST_RESULT[$1]=$result
  elif [ "${FIRST_RESULT[$1]}" = "$result" ]; then
    e2e_pass "installed result of the $1 run as under ${VERSIONS[0]%%|*} ($(wc -l <<<"$result") lines)"
  else
    e2e_fail "installed result of the $1 run differs from ${VERSIONS[0]%%|*}:" \
      "$(diff <(printf '%s\n' "${FIRST_RESULT[$1]}") <(printf '%s\n' "$result") | tr '\n' ' ')"
  fi
}

for row in "${VERSIONS[@]}"; do
  IFS='|' read -r version rtl version_nt build <<<"$row"
  exits=""

  new_version_prefix "managed, failing then succeeding" "$version" "$rtl"
  temp=$(e2e_unix_path "$(e2e_temp_dir)")
  e2e_run_setup 'KORVO=1 PELKO_TEST_FAIL=1'
  e2e_assert_exit 1603
  exits+="$E2E_EXIT"
  e2e_assert_nonempty_file "$temp/$PACKAGE_NAME.log" "installer log kept"
  product_assert_not_installed
  e2e_run_setup 'KORVO=1'
  e2e_assert_exit 0
  exits+=" $E2E_EXIT"
  product_assert_installed "$(product_default_installdir)"
  assert_installer_saw "$version_nt" "$build"
  product_assert_temp_clean "$(e2e_temp_dir)"
  remember_result managed

  new_version_prefix "interactive, confirmed" "$version" "$rtl"
  ui_run_setup '' wait-dialog click 1 wait-box click 1 wait-exit
  e2e_assert_exit 0
  exits+=" $E2E_EXIT"
  ui_assert_value box.text "$(ui_string 0009 216)" "success message (string 216)"
  product_assert_installed "$(product_default_installdir)"
  assert_installer_saw "$version_nt" "$build"
  remember_result interactive

  MATRIX[$version]="RtlGetVersion $REPORTED, $SEEN; exit codes (failing, managed, interactive): $exits"
done

e2e_log "== version matrix"
for row in "${VERSIONS[@]}"; do
  e2e_log "   ${row%%|*}: ${MATRIX[${row%%|*}]:-not run}"
done

e2e_finish
