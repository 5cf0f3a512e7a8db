#!/usr/bin/env bash
# A managed run installs the demo product with no user interface: exit 0, the product's files
# and registry values in place, the temporary package and log removed, and the installed
# application starts.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"
e2e_init

# scenario <name> <setup arguments> <KORVO as the package must receive it> [stale bytes]
# With stale bytes, a larger file of the package's name waits in the temporary folder: the run
# must replace it, not append to it or give up.
scenario() {
  local name=$1 arguments=$2 korvo=$3 stale=${4:-} temp installdir
  e2e_new_prefix "$name"
  temp=$(e2e_temp_dir)
  installdir=$(product_default_installdir)
  if [ -n "$stale" ]; then
    head -c "$stale" /dev/urandom >"$(e2e_unix_path "$temp")/$PACKAGE_NAME"
  fi
  e2e_run_setup "$arguments"
  e2e_assert_exit 0
  product_assert_installed "$installdir"
  e2e_assert_reg "$RECEIVED_KEY" KORVO "$korvo" "KORVO reaches the package unchanged"
  e2e_assert_reg "$RECEIVED_KEY" CACHEDIR "$(product_default_cachedir)" "default CACHEDIR"
  e2e_assert_reg "$RECEIVED_KEY" KMLDIR "$(product_default_kmldir)" "default KMLDIR"
  e2e_assert_reg "$RECEIVED_KEY" KORVO_AUTO_LAUNCH "" "no KORVO_AUTO_LAUNCH"
  e2e_assert_no_reg "$LAUNCH_KEY" PostInstallLaunch "no launch request"
  product_assert_temp_clean "$temp"
}

scenario "KORVO=1" 'KORVO=1' 1
scenario "KORVO=yes" 'KORVO=yes' yes
scenario "stale package file in the temporary folder" 'KORVO=1' 1 $((4 * 1024 * 1024))

# The installed application leaves its trace (its path, a tab, its command line) when started.
installdir=$(product_default_installdir)
app="${installdir}TavrinPelko.exe"
command_line="\"$app\" --e2e-trace \"two words\""
e2e_run "$app" "$command_line"
e2e_assert_exit 0
trace="$(e2e_unix_path "$(e2e_expand '%PUBLIC%')")/TavrinPelko-started.txt"
e2e_assert_nonempty_file "$trace" "application trace written"
e2e_assert_eq "$app"$'\t'"$command_line"$'\r' "$(tail -n 1 "$trace" 2>/dev/null)" \
  "application trace line"

e2e_finish
