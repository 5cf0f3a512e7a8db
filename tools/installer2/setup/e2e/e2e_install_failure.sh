#!/usr/bin/env bash
# A package that fails inside the installer: its result 1603 is the exit code, the package is
# deleted and the installer's log stays in the temporary folder.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"
e2e_init

e2e_new_prefix "PELKO_TEST_FAIL=1"
temp=$(e2e_unix_path "$(e2e_temp_dir)")
e2e_run_setup 'KORVO=1 PELKO_TEST_FAIL=1'
e2e_assert_exit 1603
e2e_assert_no_file "$temp/$PACKAGE_NAME" "package deleted"
e2e_assert_nonempty_file "$temp/$PACKAGE_NAME.log" "installer log kept"
if grep -a -q -i 'PELKO_TEST_FAIL' <(iconv -f UTF-16LE -t UTF-8 "$temp/$PACKAGE_NAME.log" 2>/dev/null) ||
   grep -a -q 'PELKO_TEST_FAIL' "$temp/$PACKAGE_NAME.log" 2>/dev/null; then
  e2e_pass "the log is the installer's log of this install"
else
  e2e_fail "the log does not mention PELKO_TEST_FAIL"
fi
product_assert_not_installed

e2e_finish
