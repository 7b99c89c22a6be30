#pragma once

#include "machine_state.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace zelmak {

// What one character of a loaded text keys: the key index and the symbol entered into InputText.
struct FedKey {
    int index;
    char letter;
};

// What a blank of the text is: the word space (as the space bar keys it), or only layout, as in
// cipher text written in groups, whose blanks the sender never keyed.
enum class Blanks { WordSpace, Layout };

// The feed's rules:
//  - a space and "_" are key index 27 and enter "_"; "Y" and "y" are index 27 and enter "Y",
//    in both modes; with Blanks::Layout a space is skipped instead, "_" stays the word space;
//  - a..z are upper-cased; each other symbol of KeyAlphabet is its own index;
//  - every other byte (0, 1, J, W, X, punctuation, tab, CR, LF, NUL, 128..255) is skipped.
std::optional<FedKey> feedKey(char c, Blanks blanks = Blanks::WordSpace);

// Runs every character of a text that the feed keys through the machine, as the keys would,
// without testing the acceptance flags and without showing the panes. Skipped characters are
// neither keyed nor appended to InputText. An error in the cipher step stops the run at that
// character, which InputText already holds. Returns the number of skipped characters.
std::size_t feedText(MachineState& m, std::string_view text, Blanks blanks = Blanks::WordSpace);

// "Automatic": runs the whole loaded text through the machine from the discs' current positions,
// in the current mode, as if its keys had been pressed. Like the keys it does nothing at all
// unless both acceptance flags are 1. InputText and OutputText start empty; a step that fails
// stops the run there, with what was keyed before it processed.
void runAutomatic(MachineState& m, std::string_view text);

} // namespace zelmak
