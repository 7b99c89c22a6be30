#pragma once

#include "machine_state.h"
#include "window.h"

#include <optional>
#include <string_view>

namespace zelmak {

// What one character of a loaded text keys: the key index and the symbol entered into InputText.
struct FedKey {
    int index;
    char letter;
};

// The feed's rules:
//  - a space and "_" are key index 27 and enter "_"; "Y" and "y" are index 27 and enter "Y",
//    in both modes;
//  - a..z are upper-cased; each other symbol of KeyAlphabet is its own index;
//  - every other byte (0, 1, J, W, X, punctuation, tab, CR, LF, NUL, 128..255) is skipped.
std::optional<FedKey> feedKey(char c);

// Runs every character of a text that the feed keys through the machine, as the keys would,
// without testing the acceptance flags and without refreshing the panes (the caller shows the
// texts once, at the end). Skipped characters are neither keyed nor appended to InputText.
// An error in the cipher step stops the run at that character, which InputText already holds.
void feedText(MachineState& m, Window& w, std::string_view text);

} // namespace zelmak
