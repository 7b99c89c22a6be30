#!/usr/bin/env bash
# Start-up, the worked example typed on the keyboard and the on-screen space bar, "Save CipherCode"
# through the real file dialog, and Exit.
# Usage: worked_example.sh BIN_DIR SHOT_DIR
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
e2e_start worked_example "$1" "$2"

readonly kMainTitle="Zelmak add Cipher-Disc Rotation2"

e2e_run_program
e2e_find_window 60 "$kMainTitle"
main=$E2E_WINDOW
e2e_log "main window $main"

# The intro was up first and was gone before the main window showed.
e2e_wait_until 10 "the main window's map in the watcher's log" grep -q "^map $main " \
    "$E2E_WORK/windows.log"
intro=$(awk '$1 == "map" && $3 == "Intro" && NF == 3 { print $2; exit }' "$E2E_WORK/windows.log")
[ -n "$intro" ] || e2e_fail "no window \"Intro\" was shown; windows seen: $(cat "$E2E_WORK/windows.log")"
order=$(awk -v intro="$intro" -v main="$main" '
    ($1 == "unmap" || $1 == "destroy") && $2 == intro && !gone { gone = NR }
    $1 == "map" && $2 == main && !shown { shown = NR }
    END { print (gone && gone < shown) ? "ok" : "wrong" }' "$E2E_WORK/windows.log")
[ "$order" = ok ] || e2e_fail "the intro was still up when the main window showed: $(cat "$E2E_WORK/windows.log")"
e2e_window_gone Intro || e2e_fail "the intro is still shown"

geometry=$(timeout 10 xdotool getwindowgeometry "$main")
grep -q 'Position: 8,15 ' <<<"$geometry" || e2e_fail "main window not at 8,15: $geometry"
grep -q 'Geometry: 999x630' <<<"$geometry" || e2e_fail "main window not 999x630: $geometry"

# h a l l o on the keyboard (the accelerators of the focused key buttons), the space bar
# Button32 with the mouse, then a l l e.
timeout 20 xdotool windowfocus --sync "$main" || e2e_fail "could not focus the main window"
e2e_type hallo
e2e_click "$main" 234 229
e2e_type alle

# "Save CipherCode": the name typed into Qt's file dialog ends in .cif, so it is used as typed.
e2e_click_for_window "$main" 572 332 "Save As" # Save CipherCode
e2e_answer_file_dialog "Save As" "$E2E_WORK/example.cif"
e2e_wait_until 30 "example.cif to be written" test -f "$E2E_WORK/example.cif"
printf '5M5QHAI6Y4' >"$E2E_WORK/expected.cif"
e2e_expect_same_bytes "the saved cipher text" "$E2E_WORK/expected.cif" "$E2E_WORK/example.cif"
if [ -n "$(find "$E2E_WORK" -maxdepth 1 -name '*.tmp')" ]; then
    e2e_fail "a temporary file was left behind"
fi
e2e_log "example.cif holds 5M5QHAI6Y4"
e2e_screenshot "main-window" "$main"

e2e_click "$main" 723 592 # Exit
e2e_expect_exit_0 30
