#!/usr/bin/env bash
# A word dragged with the mouse to a place some lines further on in a pane that cuts its lines at
# blanks: the word must move, and no line break may come into the text where the pane had cut a
# line.
# Usage: drag_in_pane.sh BIN_DIR SHOT_DIR
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
e2e_start drag_in_pane "$1" "$2"

[ -x "$E2E_BIN/zelmak-pane-probe" ] || e2e_fail "$E2E_BIN/zelmak-pane-probe is not built"
"$E2E_BIN/zelmak-pane-probe" "$E2E_WORK" >"$E2E_WORK/app.log" 2>&1 &
E2E_APP_PID=$!
e2e_find_window 60 "pane probe"
e2e_wait_until 30 "the probe to show its text" test -s "$E2E_WORK/places"
read -r fx fy tx ty <"$E2E_WORK/places"
e2e_log "dragging from $fx,$fy to $tx,$ty"

timeout 10 xdotool mousemove "$fx" "$fy" || e2e_fail "could not move the mouse"
sleep 0.3
timeout 10 xdotool mousedown 1 || e2e_fail "could not press the button"
sleep 0.3
for step in 1 2 3 4 5 6 7 8; do
    timeout 10 xdotool mousemove $((fx + (tx - fx) * step / 8)) $((fy + (ty - fy) * step / 8))
    sleep 0.1
done
sleep 0.3
timeout 10 xdotool mouseup 1 || e2e_fail "could not release the button"
sleep 0.5

touch "$E2E_WORK/dropped"
e2e_wait_until 30 "the probe's result" test -s "$E2E_WORK/result"
grep -qx "moved exactly" "$E2E_WORK/result" || e2e_fail "$(head -c 300 "$E2E_WORK/result")"
e2e_log "the word moved, and the text has no new line break"
e2e_expect_exit_0 20
