#!/usr/bin/env bash
# After a successful managed install the Start Menu shortcuts carry the names of the UI
# language: with INSTALLER_LANGUAGE=1031 each one is saved under its German name, with that
# name as its description and still pointing at the installed application, and the one under
# the English (system-language) name is gone; in the system's own language nothing is renamed.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"
e2e_init

# lnk_fields <file>: the description and the target path of a shortcut file, separated by a tab.
lnk_fields() {
  python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
flags = struct.unpack_from('<I', data, 0x14)[0]
pos = 0x4C
if flags & 0x1:  # target ID list
    pos += 2 + struct.unpack_from('<H', data, pos)[0]
target = ''
if flags & 0x2:  # link info: local base path and common path suffix, in the ANSI code page
    info = pos
    size, header, info_flags, _, base, _, suffix = struct.unpack_from('<7I', data, info)
    def cstr(offset):
        end = data.index(b'\0', info + offset)
        return data[info + offset:end].decode('latin-1')
    if info_flags & 0x1:
        target = cstr(base) + cstr(suffix)
    pos += size
description = ''
if flags & 0x4:  # name string, the first of the string data
    count = struct.unpack_from('<H', data, pos)[0]
    pos += 2
    if flags & 0x80:
        description = data[pos:pos + 2 * count].decode('utf-16-le')
    else:
        description = data[pos:pos + count].decode('latin-1')
sys.stdout.write(description.rstrip('\0') + '\t' + target.rstrip('\0'))
PY
}

e2e_new_prefix "INSTALLER_LANGUAGE=1031"
installdir=$(product_default_installdir)
e2e_run_setup 'KORVO=1 INSTALLER_LANGUAGE=1031'
e2e_assert_exit 0
if folder=$(product_start_menu_folder); then
  app="${installdir}$APP_NAME"
  for id in "${PRODUCT_SHORTCUT_IDS[@]}"; do
    english=$(product_string 0009-en.txt "$id")
    german=$(product_string 1031-de-DE.txt "$id")
    e2e_assert_no_file "$folder/$english.lnk" "no shortcut under the English name"
    e2e_assert_file "$folder/$german.lnk" "shortcut under the German name"
    if [ -f "$folder/$german.lnk" ]; then
      fields=$(lnk_fields "$folder/$german.lnk") || e2e_die "cannot read $folder/$german.lnk"
      e2e_assert_eq "$german" "${fields%%$'\t'*}" "description of '$german'"
      e2e_assert_eq "${app,,}" "$(printf '%s' "${fields#*$'\t'}" | tr '[:upper:]' '[:lower:]')" \
        "target of '$german'"
    fi
  done
  e2e_assert_eq 4 "$(find "$folder" -maxdepth 1 -name '*.lnk' | wc -l)" "shortcuts in the folder"
else
  e2e_fail "StartMenuPath: value absent"
fi

# scenario <INSTALLER_LANGUAGE>: the system's own language (Wine's is English, United States).
system_language() {
  e2e_new_prefix "INSTALLER_LANGUAGE=$1"
  e2e_run_setup "KORVO=1 INSTALLER_LANGUAGE=$1"
  e2e_assert_exit 0
  if folder=$(product_start_menu_folder); then
    for id in "${PRODUCT_SHORTCUT_IDS[@]}"; do
      english=$(product_string 0009-en.txt "$id")
      e2e_assert_file "$folder/$english.lnk" "shortcut keeps its English name"
      if [ -f "$folder/$english.lnk" ]; then
        fields=$(lnk_fields "$folder/$english.lnk") || e2e_die "cannot read $folder/$english.lnk"
        e2e_assert_eq "$english" "${fields%%$'\t'*}" "description of '$english'"
      fi
    done
    e2e_assert_eq 4 "$(find "$folder" -maxdepth 1 -name '*.lnk' | wc -l)" "shortcuts in the folder"
  else
    e2e_fail "StartMenuPath: value absent"
  fi
}

system_language 1033
system_language 9

e2e_finish
