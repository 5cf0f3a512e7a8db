#!/usr/bin/env bash
# Managed runs add DESKTOPSHORTCUT=1 when the caller did not give it, and keep a given value.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"
e2e_init

# scenario <name> <setup arguments> <DESKTOPSHORTCUT the package receives> <shortcuts expected>
scenario() {
  local name=$1 arguments=$2 received=$3 expected=$4 found
  e2e_new_prefix "$name"
  e2e_run_setup "$arguments"
  e2e_assert_exit 0
  e2e_assert_reg "$RECEIVED_KEY" DESKTOPSHORTCUT "$received" "DESKTOPSHORTCUT that reached the package"
  found=$(product_desktop_shortcuts | wc -l)
  e2e_assert_eq "$expected" "$found" "desktop shortcuts \"$DESKTOP_SHORTCUT\""
}

scenario "not given" 'KORVO=1' 1 1
scenario "given 0" 'KORVO=1 DESKTOPSHORTCUT=0' 0 0
scenario "given 1" 'KORVO=1 DESKTOPSHORTCUT=1' 1 1
# An empty value cancels the earlier one, so the managed default applies again.
scenario "given 0, then cancelled" 'KORVO=1 DESKTOPSHORTCUT=0 DESKTOPSHORTCUT=' 1 1

e2e_finish
