#!/usr/bin/env bash
# Folders in the customize dialog: a command-line INSTALLDIR is shown and reaches the package
# unchanged, and a folder picked with Browse replaces it.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"
source "$(dirname "$0")/lib_ui.sh"
ui_init

e2e_new_prefix "INSTALLDIR shown and kept"
ui_run_setup 'INSTALLDIR="C:\Pelko Given" CACHEDIR=C:\PelkoCache' wait-dialog text 306 text 309 \
  click 1 wait-box click 1 wait-exit
e2e_assert_exit 0
ui_assert_value text.306 'C:\Pelko Given' "command-line INSTALLDIR shown"
ui_assert_value text.309 'C:\PelkoCache' "command-line CACHEDIR shown"
product_assert_installed 'C:\Pelko Given\'
e2e_assert_reg "$RECEIVED_KEY" CACHEDIR 'C:\PelkoCache\' "CACHEDIR that reached the package"

e2e_new_prefix "a folder picked with Browse"
mkdir -p "$WINEPREFIX/drive_c/Picked Folder"
ui_run_setup 'INSTALLDIR="C:\Pelko Given"' wait-dialog open 307 wait-picker set-folder \
  'C:\Picked Folder' click 1 back text 306 click 1 wait-box click 1 wait-exit
e2e_assert_exit 0
kind=$(ui_value picker.kind) && e2e_pass "the $kind folder picker opened"
ui_assert_value text.306 'C:\Picked Folder' "picked folder shown"
product_assert_installed 'C:\Picked Folder\'
e2e_assert_no_file "$(e2e_unix_path 'C:\Pelko Given')" "the replaced folder unused"

e2e_new_prefix "Browse cancelled"
ui_run_setup '' wait-dialog open 310 wait-picker click 2 back text 309 check 314 click 1 \
  wait-box click 1 wait-exit
e2e_assert_exit 0
default_cache="$(e2e_expand '%USERPROFILE%')\\AppData\\LocalLow\\Tavrin\\TavrinPelko"
ui_assert_value text.309 "$default_cache" "cache folder unchanged after a cancelled picker"
e2e_assert_reg "$RECEIVED_KEY" CACHEDIR "$(product_default_cachedir)" \
  "CACHEDIR left to the package's default"

e2e_finish
