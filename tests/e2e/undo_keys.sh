#!/usr/bin/env bash
# Keys taken back in the real program: H A L L O typed, Ctrl+Z twice, then L O, the on-screen
# space bar and A L L E; "Save CipherCode" must write the worked example's 5M5QHAI6Y4. Then the
# machine view opens with Ctrl+I, and Exit.
# Usage: undo_keys.sh BIN_DIR SHOT_DIR
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
e2e_start undo_keys "$1" "$2"

readonly kMainTitle="Zelmak add Cipher-Disc Rotation2"

e2e_run_program
e2e_find_window 60 "$kMainTitle"
main=$E2E_WINDOW

timeout 20 xdotool windowfocus --sync "$main" || e2e_fail "could not focus the main window"
e2e_type hallo
e2e_key ctrl+z
e2e_key ctrl+z
e2e_type lo
e2e_click "$main" 234 229 # the on-screen space bar
e2e_type alle

e2e_click_for_window "$main" 572 332 "Save As" # Save CipherCode
e2e_answer_file_dialog "Save As" "$E2E_WORK/undone.cif"
e2e_wait_until 30 "undone.cif to be written" test -f "$E2E_WORK/undone.cif"
printf '5M5QHAI6Y4' >"$E2E_WORK/expected.cif"
e2e_expect_same_bytes "the saved cipher text" "$E2E_WORK/expected.cif" "$E2E_WORK/undone.cif"
e2e_log "undone.cif holds 5M5QHAI6Y4"

timeout 20 xdotool windowfocus --sync "$main" || e2e_fail "could not focus the main window"
e2e_key ctrl+i
e2e_find_window 30 "Zelmak machine view"
view=$E2E_WINDOW
e2e_log "the machine view is open"
timeout 20 xdotool windowfocus --sync "$view" || e2e_fail "could not focus the machine view"
e2e_key Escape
e2e_wait_until 20 "the machine view to close" e2e_window_gone "Zelmak machine view"

e2e_click "$main" 723 592 # Exit
e2e_expect_exit_0 30
