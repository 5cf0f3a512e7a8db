#!/usr/bin/env bash
# A managed run shows nothing: the setup process has no visible window at any time, and no
# dialog, box or progress window at all.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/demo_product.sh"
source "$(dirname "$0")/lib_ui.sh"
ui_init

e2e_new_prefix "managed run"
ui_run_setup 'KORVO=1' watch-windows
e2e_assert_exit 0
ui_assert_value process.seen 1 "the driver watched the setup while it ran"
ui_assert_value windows.visible 0 "visible windows of the setup"
ours=$(ui_values window | grep -E '^(dialog|box|progress)\|' || true)
e2e_assert_eq "" "$ours" "dialogs, boxes or progress windows"
product_assert_installed "$(product_default_installdir)"

e2e_finish
