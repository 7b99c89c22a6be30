#!/usr/bin/env bash
# A key file and a text file loaded through the real file dialogs, "Check Cipher", "Automatic"
# and "Save CipherCode": the saved file must hold what zelmak-cli makes of the same text with the
# same key from AAAAA. Then Exit, leaving nothing in the user's folders.
# Usage: files_and_automatic.sh BIN_DIR SHOT_DIR
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
e2e_start files_and_automatic "$1" "$2"

readonly kMainTitle="Zelmak add Cipher-Disc Rotation2"
key="$E2E_WORK/letter key.key" # a blank in the name, typed like any other character
text="$E2E_WORK/letter.txt"
saved="$E2E_WORK/letter.cif"

"$E2E_BIN/zelmak-cli" --new-key "$key" || e2e_fail "zelmak-cli could not draw a key"
# Lower case, line breaks and characters without a key (w, j, 1, 0, punctuation) on purpose.
printf 'Hallo alle,\nwir treffen uns am 10. Juni um 9 Uhr.\r\nBringt die Karten mit!\n' >"$text"
"$E2E_BIN/zelmak-cli" --key "$key" <"$text" >"$E2E_WORK/expected.cif" ||
    e2e_fail "zelmak-cli could not key the text"
[ -s "$E2E_WORK/expected.cif" ] || e2e_fail "zelmak-cli gave no output"

e2e_run_program
e2e_find_window 60 "$kMainTitle"
main=$E2E_WINDOW

e2e_click_for_window "$main" 904 519 "Open" # Load Cipher
e2e_answer_file_dialog "Open" "$key"
e2e_click_for_window "$main" 572 444 "Open" # Loade CipherCode
e2e_answer_file_dialog "Open" "$text"
e2e_click "$main" 904 462 # Check Cipher: accepts the loaded setting and turns the discs to A
e2e_click "$main" 572 396 # Automatic
e2e_click_for_window "$main" 572 332 "Save As" # Save CipherCode
e2e_answer_file_dialog "Save As" "$saved"
e2e_wait_until 30 "letter.cif to be written" test -f "$saved"
e2e_expect_same_bytes "the saved cipher text" "$E2E_WORK/expected.cif" "$saved"
e2e_log "letter.cif holds the companion's $(wc -c <"$saved") symbols"
if [ -n "$(find "$E2E_WORK" -maxdepth 1 -name '*.tmp')" ]; then
    e2e_fail "a temporary file was left behind"
fi

e2e_click "$main" 723 592 # Exit
e2e_expect_exit_0 30

# Three file dialogs were used: nothing of theirs (folders, file names) may stay behind in the
# user's folders.
left=$(find "$HOME" -type f)
[ -z "$left" ] || e2e_fail "files were written into the user's folders: $left"
