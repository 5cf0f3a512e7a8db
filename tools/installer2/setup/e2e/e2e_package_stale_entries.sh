#!/usr/bin/env bash
# What already sits at the package's or the log's name in the temporary folder: a stale file
# (larger, read-only, other bytes) is removed and the package written new; a file another
# process holds open without sharing stops the run with 1612 and stays as it was.
# (A link planted at the name cannot be shown here: under Wine a Unix symbolic link looks like a
# plain file.)
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"
e2e_init

# stale <Unix path> <size>: a read-only file of other bytes (Wine shows it as read-only).
stale() {
  head -c "$2" /dev/urandom >"$1" && chmod a-w "$1" || e2e_die "cannot make $1"
}

e2e_new_prefix "stale read-only package and log"
temp=$(e2e_temp_dir)
temp_unix=$(e2e_unix_path "$temp")
stale "$temp_unix/$PACKAGE_NAME" $((8 * 1024 * 1024))
stale "$temp_unix/$PACKAGE_NAME.log" 4096
e2e_run_setup 'KORVO=1'
e2e_assert_exit 0
product_assert_installed "$(product_default_installdir)"
product_assert_temp_clean "$temp"

# held <name> <file name>: the file, with bytes of its own, held open without sharing.
held() {
  local copy
  e2e_new_prefix "$1"
  temp=$(e2e_temp_dir)
  temp_unix=$(e2e_unix_path "$temp")
  head -c 5000 /dev/urandom >"$temp_unix/$2"
  copy="$E2E_TMP/held-before"
  cp "$temp_unix/$2" "$copy"
  e2e_hold_file "$temp$2"
  e2e_run_setup 'KORVO=1'
  e2e_assert_exit 1612
  product_assert_not_installed
  if cmp -s "$copy" "$temp_unix/$2"; then
    e2e_pass "the held file is untouched"
  else
    e2e_fail "the held file changed"
  fi
}

held "package held open by another process" "$PACKAGE_NAME"
held "log held open by another process" "$PACKAGE_NAME.log"
e2e_assert_no_file "$temp_unix/$PACKAGE_NAME" "no package written"

e2e_finish
