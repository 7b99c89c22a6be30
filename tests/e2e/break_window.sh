#!/usr/bin/env bash
# Breaking a message in the window, as an operator would: "Loade CipherCode" an intercepted
# message, Ctrl+B, the crib typed into the break window, Tab to the disc order and typed, Return;
# once the window's title tells a candidate, Alt+U, "Automatic" and "Save CipherCode": the saved
# text must be what zelmak-cli deciphers with the true key.
# Usage: break_window.sh BIN_DIR SHOT_DIR
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
e2e_start break_window "$1" "$2"

readonly kMainTitle="Zelmak add Cipher-Disc Rotation2"
key="$E2E_WORK/day.key"
plain="$E2E_WORK/letter.txt"
message="$E2E_WORK/message.cif"
saved="$E2E_WORK/read.cif"
readonly start=Q3ZK8

# Our own German lines; the crib is the letter's first 30 symbols.
readonly letter="die ablösung der posten erfolgt morgen früh um sieben uhr am nördlichen tor \
bitte melden sie den stand der vorräte bis zum abend an die kommandantur"
readonly crib="die abloesung der posten erfol"
printf '%s' "$letter" | sed 's/ö/oe/g; s/ü/ue/g; s/ä/ae/g' >"$plain"
"$E2E_BIN/zelmak-cli" --new-key "$key" || e2e_fail "zelmak-cli could not draw a key"
"$E2E_BIN/zelmak-cli" --key "$key" --start "$start" "$plain" >"$message" ||
    e2e_fail "zelmak-cli could not key the letter"
"$E2E_BIN/zelmak-cli" --key "$key" --start "$start" --decipher "$message" >"$E2E_WORK/expected.cif" ||
    e2e_fail "zelmak-cli could not decipher the message"
order=$(od -An -tu1 -j31 -N5 "$key" | awk '{ for (i = 1; i <= 5; i++) printf "%d", $i + 1 }')
e2e_log "message of $(wc -c <"$message") symbols, disc order $order"

e2e_run_program
e2e_find_window 60 "$kMainTitle"
main=$E2E_WINDOW
e2e_click_for_window "$main" 572 444 "Open" # Loade CipherCode
e2e_answer_file_dialog "Open" "$message"

timeout 20 xdotool windowfocus --sync "$main" || e2e_fail "could not focus the main window"
e2e_key ctrl+b
e2e_find_window 30 "Break a message"
search=$E2E_WINDOW
timeout 20 xdotool windowfocus --sync "$search" || e2e_fail "could not focus the break window"
e2e_type "$crib"
e2e_key Tab Tab
e2e_type "$order"
e2e_key Return

# The title tells the outcome once the search and the completion of the best card have ended.
e2e_wait_until 150 "a candidate" e2e_window_shown "Break a message – 1 candidate"
e2e_key alt+u
# Back to the main window, which the break window may cover.
timeout 20 xdotool windowraise "$main" || e2e_fail "could not raise the main window"
e2e_click "$main" 572 396 # Automatic
e2e_click_for_window "$main" 572 332 "Save As" # Save CipherCode
e2e_answer_file_dialog "Save As" "$saved"
e2e_wait_until 30 "read.cif to be written" test -f "$saved"
e2e_expect_same_bytes "the message read in the window" "$E2E_WORK/expected.cif" "$saved"
e2e_log "read: $(head -c 60 "$saved")…"

e2e_click "$main" 723 592 # Exit
e2e_expect_exit_0 30
