# What the demo package leaves behind, as checks for the scenarios. Source after lib.sh.
# E2E_APP_EXE (optional) is the built TavrinPelko.exe: an installed copy is then compared with it
# byte for byte. E2E_EDITION (default 0) is the edition the package and the setup are built for.

PRODUCT_TRANSLATIONS="$(cd "$(dirname "${BASH_SOURCE[0]}")/../l10n/translations" && pwd)"
case ${E2E_EDITION:-0} in
  0) PRODUCT_NAME='Tavrin Pelko'; EDITION_KEY='Tavrin Pelko Vanta'
     PACKAGE_NAME='TavrinPelko-Larkin.msi' ;;
  1) PRODUCT_NAME='Tavrin Pelko Qx'; EDITION_KEY='Tavrin Pelko Qx'
     PACKAGE_NAME='TavrinPelko-Qx.msi' ;;
  2) PRODUCT_NAME='Tavrin Pelko Brisa'; EDITION_KEY='Tavrin Pelko Brisa'
     PACKAGE_NAME='TavrinPelko-Brisa.msi' ;;
  *) e2e_die "E2E_EDITION is '${E2E_EDITION}', not 0, 1 or 2" ;;
esac
PRODUCT_KEY="HKCU\\Software\\Tavrin\\$EDITION_KEY"
RECEIVED_KEY="$PRODUCT_KEY\\Received"
LAUNCH_KEY='HKCU\Software\Tavrin'
APP_NAME='TavrinPelko.exe'
DESKTOP_SHORTCUT="$PRODUCT_NAME.lnk"
# The shortcut-name strings of the edition, in the order the setup renames them.
PRODUCT_SHORTCUT_IDS=($((226 + ${E2E_EDITION:-0})) $((229 + ${E2E_EDITION:-0}))
                      $((232 + ${E2E_EDITION:-0})) $((220 + ${E2E_EDITION:-0})))
# Their English texts: the names the package gives its Start Menu shortcuts.
START_MENU_SHORTCUTS=()
for id in "${PRODUCT_SHORTCUT_IDS[@]}"; do
  START_MENU_SHORTCUTS+=("$(awk -F '\t' -v id="$id" '$1 == id { print $2; exit }' \
                            "$PRODUCT_TRANSLATIONS/0009-en.txt")")
done
unset id

# The package's default folders, as Windows paths ending in a backslash.
product_default_installdir() {
  printf '%s' "$(e2e_expand '%ProgramFiles%')\\Tavrin\\$PRODUCT_NAME\\"
}
product_default_cachedir() { printf '%s' "$(e2e_expand '%LOCALAPPDATA%')\\Tavrin\\TavrinPelko\\"; }
product_default_kmldir() { printf '%s' "$(e2e_expand '%APPDATA%')\\Tavrin\\TavrinPelko\\"; }

# product_assert_installed <INSTALLDIR as the package resolves it, with its trailing backslash>
#                          [translation source file the Start Menu shortcuts are named from]
# Without the second argument the shortcuts carry the package's own (English) names.
product_assert_installed() {
  local installdir=$1 names=${2:-} app start_menu folder name value
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
    if [ -n "$names" ]; then
      product_assert_shortcuts_renamed "$names"
    else
      for name in "${START_MENU_SHORTCUTS[@]}"; do
        e2e_assert_file "$folder/$name.lnk" "Start Menu shortcut"
      done
    fi
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

# The trace the installed application leaves when it is started (its path, a tab, its command
# line), one line per start.
product_launch_trace() {
  printf '%s/TavrinPelko-started.txt' "$(e2e_unix_path "$(e2e_expand '%PUBLIC%')")"
}

# product_assert_started <Windows path>: exactly one start of that program, with its path as the
# whole command line (quoted or not) and no arguments.
product_assert_started() {
  local trace line path command_line
  trace=$(product_launch_trace)
  e2e_assert_nonempty_file "$trace" "the program was started"
  [ -s "$trace" ] || return
  e2e_assert_eq 1 "$(wc -l <"$trace")" "started once"
  line=$(tail -n 1 "$trace")
  line=${line%$'\r'}
  path=${line%%$'\t'*}
  command_line=${line#*$'\t'}
  e2e_assert_eq "${1,,}" "${path,,}" "started program"
  command_line=${command_line#\"}
  command_line=${command_line%\"}
  e2e_assert_eq "${1,,}" "${command_line,,}" "command line is the path alone"
}

product_assert_not_started() { e2e_assert_no_file "$(product_launch_trace)" "nothing was started"; }

# product_string <translation source file> <string id>: the text of that string there.
product_string() {
  local text
  text=$(awk -F '\t' -v id="$2" '$1 == id { print $2; exit }' "$PRODUCT_TRANSLATIONS/$1")
  [ -n "$text" ] || e2e_die "string $2 missing in $1"
  printf '%s' "$text"
}

# product_start_menu_folder: the Unix path of the folder named by StartMenuPath.
product_start_menu_folder() {
  local start_menu
  start_menu=$(e2e_reg_get "$PRODUCT_KEY" StartMenuPath) || return 1
  e2e_unix_path "$start_menu"
}

# product_assert_shortcuts_renamed <translation source file>: the four Start Menu shortcuts carry
# their names in that language, and none is left under its English name.
product_assert_shortcuts_renamed() {
  local folder id english name
  if ! folder=$(product_start_menu_folder); then
    e2e_fail "StartMenuPath: value absent"
    return
  fi
  for id in "${PRODUCT_SHORTCUT_IDS[@]}"; do
    english=$(product_string 0009-en.txt "$id")
    name=$(product_string "$1" "$id")
    e2e_assert_file "$folder/$name.lnk" "shortcut under the name of $1"
    [ "$name" = "$english" ] ||
      e2e_assert_no_file "$folder/$english.lnk" "no shortcut under the English name"
  done
  e2e_assert_eq 4 "$(find "$folder" -maxdepth 1 -name '*.lnk' | wc -l)" "shortcuts in the folder"
}
