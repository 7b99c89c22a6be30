#pragma once

// The analysis works on symbols numbered 0..30 (the KeyAlphabet index less one), so that a map of
// the 31 symbols is a 32-byte row and a byte shuffle applies it to every guess at once.

#include "machine/key_alphabet.h"
#include "machine/machine_state.h"

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zelmak::analysis {

using Symbol = std::uint8_t;
inline constexpr Symbol kNoSymbol = 0xFF;
inline constexpr Symbol kWordSpace = kWordSpaceIndex - 1; // "Y", and the space bar

// Disc numbers 1..5 in slots 1..5, as the "Number from Disc" selectors show them.
using DiscOrder = std::array<std::uint8_t, kSlotCount>;
// Disc positions 0..30 of slots 1..5 (17 shows "A").
using DiscPositions = std::array<std::uint8_t, kSlotCount>;
// The card: entry k (symbol k) holds its card value, or kNoSymbol where unknown.
using Card = std::array<Symbol, kSymbolCount>;

// Input that cannot be analysed, with one line naming the problem.
struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A message as Zelmak writes it (a .cif file, or the companion's output, grouped or not): blanks
// and line breaks are layout; every other character must be a key symbol ("Y" is one).
std::vector<Symbol> readMessage(std::string_view text);

// A crib as the companion reads its input: a..z as A..Z, a space or "_" the word space.
std::vector<Symbol> readCrib(std::string_view text);

// The 120 orders of the five discs, in ascending order of their five digits.
const std::vector<DiscOrder>& allDiscOrders();
// "31425" for discs 3 1 4 2 5 in slots 1..5; nothing for anything but five different 1..5.
std::optional<DiscOrder> parseDiscOrder(std::string_view digits);
std::string orderText(const DiscOrder& order);
// "QE3AA": the symbols the position selectors show.
std::string positionsText(const DiscPositions& positions);
// The 31 symbols the card selectors show, "." where unknown.
std::string cardText(const Card& card);
// The number of known entries.
int cardFixed(const Card& card);
// The inverse card (value to symbol), kNoSymbol where unknown.
Card inverseCard(const Card& card);
// Whether no two known entries hold the same value.
bool cardConsistent(const Card& card);

// A card and disc order from a key record's 36 bytes (the record must pass the setting check).
struct KeySetting {
    Card card;
    DiscOrder order;
};
KeySetting keySettingOf(const KeyRecordBytes& record);
KeyRecordBytes keyRecordOf(const Card& card, const DiscOrder& order);

} // namespace zelmak::analysis
