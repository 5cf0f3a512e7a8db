#!/usr/bin/env bash
# The customize dialog from the keyboard alone: Tab visits every control in reading order and
# wraps (left to right and mirrored), each access key clicks its button or toggles its box (a
# Browse key opens the picker of its own folder, a folder label's key moves to its folder),
# Enter installs, and the keys work the same in
# a language that writes them in parentheses. The keys are read from the translation sources,
# so each language is held to the keys it shows.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"
source "$(dirname "$0")/lib_ui.sh"
ui_init

# access_key <translation source> <string ID>: the character after the string's "&"
access_key() {
  local text
  text=$(ui_string "$1" "$2")
  [[ "$text" == *"&"?* ]] || e2e_die "string $2 of $1 has no access key: $text"
  text=${text#*&}
  printf '%s' "${text:0:1}"
}

# tab_order <name> <language>: the focus starts on the first folder display, and ten Tabs visit
# the ten controls and come back to it.
tab_order() {
  e2e_new_prefix "Tab order, $1"
  ui_run_setup "INSTALLER_LANGUAGE=$2" wait-dialog focus tab 10 click 2 wait-exit
  e2e_assert_exit 1602
  ui_assert_value focus 306 "$1: the first folder display has the focus"
  e2e_assert_eq "307 309 310 312 313 314 315 1 2 306" "$(echo $(ui_values tab))" \
    "$1: Tab visits display, Browse (three times), the boxes, Install, Cancel, and wraps"
}

tab_order English 9
tab_order German 1031
tab_order "Hebrew (mirrored)" 1037

# keys <name> <language> <translation source> [its file, for the shortcut names]: each folder
# label's key moves the focus to its folder; both boxes and all three Browse buttons by their
# keys, each picker choosing a folder of its own; then Install by its key.
keys() {
  local name=$1 language=$2 source=$3 names=${4:-}
  local folder1 folder2 folder3 desktop launch browse1 browse2 browse3 install
  folder1=$(access_key "$source" 206)
  folder2=$(access_key "$source" 207)
  folder3=$(access_key "$source" 208)
  desktop=$(access_key "$source" 213)
  launch=$(access_key "$source" 214)
  browse1=$(access_key "$source" 209)
  browse2=$(access_key "$source" 218)
  browse3=$(access_key "$source" 219)
  install=$(access_key "$source" 210)
  e2e_new_prefix "access keys, $name"
  mkdir -p "$WINEPREFIX/drive_c/Keyed Program" "$WINEPREFIX/drive_c/Keyed Cache" \
    "$WINEPREFIX/drive_c/Keyed KML"
  # The focus starts on the first folder, so its label's key comes last.
  ui_run_setup "INSTALLER_LANGUAGE=$language" wait-dialog \
    alt "$folder2" alt "$folder3" alt "$folder1" alt "$desktop" check 314 alt "$launch" check 315 \
    alt "$browse2" wait-picker set-folder 'C:\Keyed Cache' click 1 back \
    alt "$browse3" wait-picker set-folder 'C:\Keyed KML' click 1 back \
    alt "$browse1" wait-picker set-folder 'C:\Keyed Program' click 1 back \
    text 306 text 309 text 312 alt "$install" wait-box click 1 wait-exit
  e2e_assert_exit 0
  e2e_log "$name keys: folders $folder1 $folder2 $folder3, desktop $desktop, launch $launch," \
    "Browse $browse1 $browse2 $browse3, install $install"
  ui_assert_value "alt.$folder2" 309 "$name: Alt+$folder2 moves to the cache folder"
  ui_assert_value "alt.$folder3" 312 "$name: Alt+$folder3 moves to the KML folder"
  ui_assert_value "alt.$folder1" 306 "$name: Alt+$folder1 moves to the program folder"
  ui_assert_value "alt.$desktop" 314 "$name: Alt+$desktop focuses the desktop-shortcut box"
  ui_assert_value check.314 0 "$name: Alt+$desktop cleared the desktop-shortcut box"
  ui_assert_value check.315 0 "$name: Alt+$launch cleared the launch box"
  ui_assert_value text.306 'C:\Keyed Program' "$name: Alt+$browse1 chose the program folder"
  ui_assert_value text.309 'C:\Keyed Cache' "$name: Alt+$browse2 chose the cache folder"
  ui_assert_value text.312 'C:\Keyed KML' "$name: Alt+$browse3 chose the KML folder"
  e2e_assert_reg "$RECEIVED_KEY" CACHEDIR 'C:\Keyed Cache\' "$name: CACHEDIR from the keyed picker"
  product_assert_installed 'C:\Keyed Program\' "$names"
  ui_assert_not_received DESKTOPSHORTCUT
  ui_assert_not_received KORVO_AUTO_LAUNCH
}

keys English 9 0009
keys Japanese 1041 1041 1041-ja-JP.txt

e2e_new_prefix "Enter installs"
ui_run_setup '' wait-dialog enter wait-box click 1 wait-exit
e2e_assert_exit 0
product_assert_installed "$(product_default_installdir)"

e2e_new_prefix "the Cancel key"
ui_run_setup '' wait-dialog alt "$(access_key 0009 211)" wait-exit
e2e_assert_exit 1602
product_assert_not_installed

e2e_finish
