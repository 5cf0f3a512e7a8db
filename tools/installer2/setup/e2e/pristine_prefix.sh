#!/usr/bin/env bash
# The Wine prefix that every end-to-end scenario of one test run copies (a copy takes about a
# second, wineboot ten or more). Run as the ctest fixture around the e2e tests:
#   pristine_prefix.sh create <dir>   wineboot into <dir>, then mark it ready
#   pristine_prefix.sh remove <dir>   stop its Wine and delete it
set -u
source "$(dirname "$0")/lib.sh"

action=${1:-}
dir=${2:-}
[ -n "$dir" ] || e2e_die "usage: pristine_prefix.sh create|remove <dir>"

case $action in
  create)
    if [ -d "$dir" ]; then WINEPREFIX=$dir wineserver -k >/dev/null 2>&1; fi
    rm -rf "$dir" "$dir.home"
    mkdir -p "$dir.home"
    started=$SECONDS
    HOME="$dir.home" e2e_boot_prefix "$dir" || e2e_die "wineboot failed for $dir"
    rm -rf "$dir.home"
    touch "$dir/.pelko-pristine"
    e2e_log "pristine prefix ready in $((SECONDS - started)) s: $dir"
    ;;
  remove)
    if [ -d "$dir" ]; then WINEPREFIX=$dir wineserver -k >/dev/null 2>&1; fi
    rm -rf "$dir" "$dir.home"
    ;;
  *)
    e2e_die "usage: pristine_prefix.sh create|remove <dir>"
    ;;
esac
