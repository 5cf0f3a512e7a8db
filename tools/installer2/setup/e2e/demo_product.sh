# What the demo package TavrinPelko-Larkin.msi leaves behind, as checks for the scenarios.
# Source after lib.sh. E2E_APP_EXE (optional) is the built TavrinPelko.exe: an installed copy
# is then compared with it byte for byte.

PRODUCT_KEY='HKCU\Software\Tavrin\Tavrin Pelko Vanta'
RECEIVED_KEY="$PRODUCT_KEY\\Received"
LAUNCH_KEY='HKCU\Software\Tavrin'
PACKAGE_NAME='TavrinPelko-Larkin.msi'
APP_NAME='TavrinPelko.exe'
START_MENU_SHORTCUTS=("Start Tavrin Pelko" "Uninstall Tavrin Pelko" "Tavrin Pelko Help"
                      "Tavrin Pelko Release Notes")
DESKTOP_SHORTCUT='Tavrin Pelko.lnk'

# The package's default folders, as Windows paths ending in a backslash.
product_default_installdir() { printf '%s' "$(e2e_expand '%ProgramFiles%')\\Tavrin\\Tavrin Pelko\\"; }
product_default_cachedir() { printf '%s' "$(e2e_expand '%LOCALAPPDATA%')\\Tavrin\\TavrinPelko\\"; }
product_default_kmldir() { printf '%s' "$(e2e_expand '%APPDATA%')\\Tavrin\\TavrinPelko\\"; }

# product_assert_installed <INSTALLDIR as the package resolves it, with its trailing backslash>
product_assert_installed() {
  local installdir=$1 app start_menu folder name value
  e2e_assert_reg "$RECEIVED_KEY" INSTALLDIR "$installdir" "INSTALLDIR that reached the package"
  app="$(e2e_unix_path "$installdir")/$APP_NAME"
  e2e_assert_file "$app" "application installed"
  if [ -n "${E2E_APP_EXE:-}" ] && [ -f "$app" ]; then
    if cmp -s "$E2E_APP_EXE" "$app"; then
      e2e_pass "installed application is the built one"
    else
      e2e_fail "installed application differs from $E2E_APP_EXE"
    fi
  fi
  for name in CACHEDIR KMLDIR; do
    if value=$(e2e_reg_get "$RECEIVED_KEY" "$name") && [ -n "$value" ]; then
      e2e_assert_dir "$(e2e_unix_path "$value")" "$name folder created"
    else
      e2e_fail "$name: no folder recorded by the package"
    fi
  done
  if start_menu=$(e2e_reg_get "$PRODUCT_KEY" StartMenuPath); then
    e2e_assert_eq '\' "${start_menu: -1}" "StartMenuPath ends with a backslash"
    folder=$(e2e_unix_path "$start_menu")
    for name in "${START_MENU_SHORTCUTS[@]}"; do
      e2e_assert_file "$folder/$name.lnk" "Start Menu shortcut"
    done
  else
    e2e_fail "StartMenuPath: value absent"
  fi
}

# Nothing of the product arrived: no application in the default folder, no record of the
# package.
product_assert_not_installed() {
  e2e_assert_no_file "$(e2e_unix_path "$(product_default_installdir)")/$APP_NAME" \
    "no application installed"
  e2e_assert_no_reg "$RECEIVED_KEY" INSTALLDIR "no install recorded by the package"
}

# The desktop shortcuts named like the product's, wherever the prefix keeps its desktops.
product_desktop_shortcuts() {
  find "$WINEPREFIX/drive_c/users" -mindepth 3 -maxdepth 3 -path '*/Desktop/*' \
    -name "$DESKTOP_SHORTCUT" -print
}

# product_assert_temp_clean <temporary folder, Windows path>: neither the package nor its log
# left there.
product_assert_temp_clean() {
  local temp
  temp=$(e2e_unix_path "$1")
  e2e_assert_no_file "$temp/$PACKAGE_NAME" "package removed from the temporary folder"
  e2e_assert_no_file "$temp/$PACKAGE_NAME.log" "log removed from the temporary folder"
}
