#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zelmak {

// Ordinary text made ready for the machine: only symbols the keyboard has, words split by
// single spaces, so that "Loade CipherCode" and "Automatic" key every character of it.
struct ConvertedText {
    std::string text;        // KeyAlphabet symbols and single spaces, no leading or trailing space
    std::size_t dropped = 0; // input characters that had no place in the machine's alphabet
};

// Converts 8-bit (ISO 8859-1) text:
//  - a..z become A..Z; J becomes I, W becomes VV, X becomes KS (either case);
//  - Ä Ö Ü (and ä ö ü) become AE OE UE, ß becomes SS;
//  - 0 becomes O, 1 becomes I; 2..9 stay;
//  - a run of blanks, tabs, line breaks, vertical tabs, form feeds and no-break spaces
//    becomes one space; at the start and end of the text such runs are removed;
//  - every other byte is dropped and counted: punctuation, control characters, bytes
//    128..255 other than the umlauts and ß, including letters such as é, ñ, Å or Ø.
// A dropped character between two words does not join them, nor split a run of blanks.
ConvertedText convertForMachine(std::string_view latin1);

} // namespace zelmak
