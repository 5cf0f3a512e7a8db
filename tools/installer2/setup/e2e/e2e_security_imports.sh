#!/usr/bin/env bash
# setup.exe must start on a bare Windows and reach the installer only through the msi.dll of the
# system folder, by ordinal: its import table names only DLLs that every Windows has (no
# libstdc++, libgcc or libwinpthread, and not msi.dll, which the loader would look for beside
# the program first), and no installer function name appears anywhere in its code or data. Its
# header asks for the loader's hardening: a randomised base anywhere in the 64-bit address space
# and no code run from data pages.
source "$(dirname "$0")/lib.sh"
e2e_init
E2E_SCENARIO="imports"
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
objcopy=${OBJCOPY:-x86_64-w64-mingw32-objcopy}

dump=$("$objdump" -p "$E2E_SETUP_EXE") || e2e_die "$objdump cannot read $E2E_SETUP_EXE"
mapfile -t dlls < <(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' |
                    tr '[:upper:]' '[:lower:]' | sort -u)
[ "${#dlls[@]}" -gt 0 ] || e2e_die "no import table found in $E2E_SETUP_EXE"
e2e_log "imports: ${dlls[*]}"

# System DLLs of every supported Windows (msvcrt.dll is MinGW's C runtime).
allowed=(kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll shlwapi.dll ole32.dll
         oleaut32.dll comctl32.dll comdlg32.dll msvcrt.dll)
for dll in "${dlls[@]}"; do
  known=0
  for system_dll in "${allowed[@]}"; do
    [ "$dll" = "$system_dll" ] && known=1
  done
  if [ "$known" -eq 1 ]; then e2e_pass "imports $dll"; else e2e_fail "imports $dll"; fi
done

# DYNAMIC_BASE counts only while the relocations are still in the file, and HIGH_ENTROPY_VA only
# for an image that takes addresses above 4 GiB.
header_flags() {
  printf '%s\n' "$dump" | sed -n "/^$1[[:space:]]/,/^[A-Z]/p" | sed -n 's/^[[:space:]]\+//p'
}
dll_flags=$(header_flags DllCharacteristics)
for flag in DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT; do
  if grep -qx "$flag" <<<"$dll_flags"; then e2e_pass "DllCharacteristics $flag"
  else e2e_fail "DllCharacteristics lacks $flag (has: $(tr '\n' ' ' <<<"$dll_flags"))"; fi
done
image_flags=$(header_flags Characteristics)
if grep -qx "large address aware" <<<"$image_flags"; then e2e_pass "large address aware"
else e2e_fail "not large address aware"; fi
if grep -qx "relocations stripped" <<<"$image_flags"; then e2e_fail "relocations stripped"
else e2e_pass "relocations kept"; fi

# Function names as the import table or a lookup by name would hold them (ASCII), or as any wide
# string would (UTF-16LE). The embedded package is left out: its own string pool names installer
# tables such as MsiFileHash. A name right after a digit is a mangled type name of ours.
code_only="$E2E_TMP/setup-without-resources.exe"
"$objcopy" --remove-section=.rsrc "$E2E_SETUP_EXE" "$code_only" ||
  e2e_die "cannot strip the resources of $E2E_SETUP_EXE"
pattern='(^|[^0-9A-Za-z_])Msi[A-Z][A-Za-z]+'
ascii=$(strings -a -n 6 "$code_only" | grep -oE "$pattern" | sort -u | tr '\n' ' ')
wide=$(strings -a -n 6 -e l "$code_only" | grep -oE "$pattern" | sort -u | tr '\n' ' ')
e2e_assert_eq "" "$ascii" "installer function names in the binary"
e2e_assert_eq "" "$wide" "installer function names as wide strings"

e2e_finish
