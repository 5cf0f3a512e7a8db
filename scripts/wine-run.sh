#!/usr/bin/env bash
# Runs one Windows program (a Windows-side test) under Wine: the emulator of the windows preset.
# The prefix is made on first use; SETUP_TEST_WINEPREFIX chooses another one.
set -u
export WINEPREFIX="${SETUP_TEST_WINEPREFIX:-${TMPDIR:-/tmp}/pelko-wine-unit-$(id -u)}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko prompts, and no menu entries or desktop links written into the real home.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
wine "$@"
