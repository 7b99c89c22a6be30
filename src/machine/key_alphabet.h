#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace zelmak {

// The 31 symbols of the machine, numbered 1..31. The first is the letter I, not a digit.
// Keys, card entries, disc positions and output symbols all follow this order.
inline constexpr std::string_view kKeyAlphabet = "I23456789QERTZUOPASDFGHMKLYCVBN";
inline constexpr int kSymbolCount = 31;

// A disc position is 0..30: a position for each symbol, p showing KeyAlphabet[p + 1].
inline constexpr int kLastPosition = kSymbolCount - 1;

// Five slots, and five discs (numbers 1..5) to put in them.
inline constexpr int kSlotCount = 5;
inline constexpr int kDiscCount = 5;

// Index 27 ("Y") doubles as the word space.
inline constexpr int kWordSpaceIndex = 27;

// Position 17 shows "A", the start position of every disc.
inline constexpr int kStartPosition = 17;

// KeyAlphabet[i] for i = 1..31.
constexpr char keySymbol(int index) {
    return kKeyAlphabet[static_cast<std::size_t>(index - 1)];
}

// The KeyAlphabet index of an upper-case symbol, or nothing.
constexpr std::optional<int> symbolIndex(char c) {
    const auto pos = kKeyAlphabet.find(c);
    if (pos == std::string_view::npos)
        return std::nullopt;
    return static_cast<int>(pos) + 1;
}

// The symbol a position selector shows for position p (0..30).
constexpr char positionSymbol(int position) {
    return keySymbol(position + 1);
}

} // namespace zelmak
