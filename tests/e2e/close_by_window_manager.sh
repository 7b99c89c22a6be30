#!/usr/bin/env bash
# The window has no close button, but a window manager may still ask it to close (a
# WM_DELETE_WINDOW message): the program then ends as with Exit, with status 0.
# Usage: close_by_window_manager.sh BIN_DIR SHOT_DIR
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
e2e_start close_by_window_manager "$1" "$2"

e2e_run_program
e2e_find_window 60 "Zelmak add Cipher-Disc Rotation2"
main=$E2E_WINDOW

# Some typing first, so that there is work the close must not ask about.
timeout 20 xdotool windowfocus --sync "$main" || e2e_fail "could not focus the main window"
e2e_type hallo

"$E2E_BIN/zelmak-e2e-x11" close "$main" || e2e_fail "could not send the close request"
e2e_expect_exit_0 30
