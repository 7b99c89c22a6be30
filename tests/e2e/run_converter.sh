#!/usr/bin/env bash
# "Run Converter" starts our own converter, which lies beside the window program as
# zelmak-converter, in a window of its own: the process behind that window runs exactly that file.
# Usage: run_converter.sh BIN_DIR SHOT_DIR
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
e2e_start run_converter "$1" "$2"

readonly kMainTitle="Zelmak add Cipher-Disc Rotation2"
[ -x "$E2E_BIN/zelmak-converter" ] || e2e_fail "$E2E_BIN/zelmak-converter is not built"

# The converter is a process of its own, so its window is looked for by its caption alone.
converter_windows() {
    timeout 10 xdotool search --all --onlyvisible --name '^Zelmak Converter$' 2>/dev/null
}
converter_shown() { [ -n "$(converter_windows)" ]; }

e2e_run_program
e2e_find_window 60 "$kMainTitle"
main=$E2E_WINDOW
converter_shown && e2e_fail "a converter window was up before Run Converter"

e2e_click "$main" 572 476 # Run Converter
e2e_wait_until 60 "the converter's window" converter_shown
window=$(converter_windows | head -n1)
pid=$(timeout 10 xdotool getwindowpid "$window") || e2e_fail "the converter's window names no process"
program=$(readlink "/proc/$pid/exe")
e2e_log "converter window $window, pid $pid, running $program"
kill "$pid"
[ "$program" = "$E2E_BIN/zelmak-converter" ] ||
    e2e_fail "Run Converter started $program, not $E2E_BIN/zelmak-converter"

e2e_click "$main" 723 592 # Exit
e2e_expect_exit_0 30
