#!/usr/bin/env bash
# Properties of the setup's command line reach the package: quoted values with blanks, the
# last of a repeated name, double quotes inside values, and an empty value that cancels an
# earlier one.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"
e2e_init

# scenario <name> <setup arguments> <property> <value the package must receive> [INSTALLDIR]
# With an INSTALLDIR given, the product must be installed there.
scenario() {
  local name=$1 arguments=$2 property=$3 expected=$4 installdir=${5:-}
  e2e_new_prefix "$name"
  e2e_run_setup "$arguments"
  e2e_assert_exit 0
  e2e_assert_reg "$RECEIVED_KEY" "$property" "$expected" "$property that reached the package"
  if [ -n "$installdir" ]; then product_assert_installed "$installdir"; fi
}

scenario "INSTALLDIR in double quotes" 'KORVO=1 INSTALLDIR="C:\Program Files\My Tavrin"' \
  INSTALLDIR 'C:\Program Files\My Tavrin\' 'C:\Program Files\My Tavrin\'
scenario "INSTALLDIR in single quotes" "KORVO=1 INSTALLDIR='C:\\Tavrin Apps\\Pelko'" \
  INSTALLDIR 'C:\Tavrin Apps\Pelko\' 'C:\Tavrin Apps\Pelko\'
# A tab separates pairs after a closing quote (an unquoted value ends only at a blank).
scenario "folders given, tab after a quoted value" \
  "KORVO=1 CACHEDIR=\"C:\\Pelko Cache\"	KMLDIR=\"C:\\Pelko KML\"" \
  CACHEDIR 'C:\Pelko Cache\'
e2e_assert_reg "$RECEIVED_KEY" KMLDIR 'C:\Pelko KML\' "KMLDIR that reached the package"
e2e_assert_dir "$(e2e_unix_path 'C:\Pelko Cache')" "given CACHEDIR created"
e2e_assert_dir "$(e2e_unix_path 'C:\Pelko KML')" "given KMLDIR created"
scenario "repeated name: the last wins" 'KORVO=1 PELKO_ECHO=a PELKO_ECHO=b' PELKO_ECHO b
# Double quotes inside a value reach the package as they are, with or without a blank.
scenario "double quotes inside a value" "KORVO=1 PELKO_ECHO='say \"hi\" now'" \
  PELKO_ECHO 'say "hi" now'
scenario "double quote without a blank" 'KORVO=1 PELKO_ECHO=x"y' PELKO_ECHO 'x"y'

default_installdir=$(product_default_installdir)
scenario "empty value cancels INSTALLDIR" 'KORVO=1 INSTALLDIR="C:\Elsewhere" INSTALLDIR=' \
  INSTALLDIR "$default_installdir" "$default_installdir"
e2e_assert_no_file "$(e2e_unix_path 'C:\Elsewhere')" "cancelled INSTALLDIR unused"

e2e_finish
