#pragma once

// Shared helpers of the machine tests: setting up a machine without the setting check, typing
// keys, and describing the state when a known answer does not come out.

#include "machine/key_alphabet.h"
#include "machine/machine.h"
#include "machine/setting_draft.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace zelmak::test {

using Card = std::array<int, 31>; // item index of card selector k at [k - 1]
using Discs = std::array<int, 5>; // item index of disc-number selector s at [s - 1]

inline Card identityCard() {
    Card card{};
    for (int k = 1; k <= 31; ++k)
        card[static_cast<std::size_t>(k - 1)] = k;
    return card;
}

inline constexpr Discs kServiceDiscs{0, 1, 2, 3, 4};

// The draft of a setting: the selectors showing this card and these discs.
inline SettingDraft draftOf(const Card& card, const Discs& discs = kServiceDiscs) {
    SettingDraft draft;
    for (int k = 1; k <= kSymbolCount; ++k)
        draft.setCardItem(k, card[static_cast<std::size_t>(k - 1)]);
    for (int s = 1; s <= kSlotCount; ++s)
        draft.setDiscItem(s, discs[static_cast<std::size_t>(s - 1)]);
    return draft;
}

// What an accepted setting check leaves behind: CardTable holds the card, both flags are 1, and
// the set-up has run (all discs at "A").
inline void acceptSetting(MachineState& m, const Card& card = identityCard(),
                          const Discs& discs = kServiceDiscs) {
    for (int k = 1; k <= kSymbolCount; ++k)
        m.cardTable[k] = static_cast<Byte>(card[static_cast<std::size_t>(k - 1)]);
    m.cardReady = 1;
    m.discReady = 1;
    Init(m, draftOf(card, discs));
}

// A machine set up with a random card and disc order.
template <typename Random> MachineState randomlySetUp(Random& rng) {
    Card card = identityCard();
    Discs discs = kServiceDiscs;
    std::shuffle(card.begin(), card.end(), rng);
    std::shuffle(discs.begin(), discs.end(), rng);
    MachineState m;
    acceptSetting(m, card, discs);
    return m;
}

// Positions of slots 1..5, e.g. "SPAAA"; "?" for a slot that was never set.
inline std::string positions(const Positions& positions) {
    std::string out;
    for (const int p : positions.raw())
        out += p >= 0 && p <= kLastPosition ? positionSymbol(p) : '?';
    return out;
}
inline std::string positions(const MachineState& m) {
    return positions(m.positions);
}

// Sets slots 1..5 to the positions showing these five symbols.
inline void setPositions(MachineState& m, std::string_view symbols) {
    for (int s = 1; s <= 5; ++s)
        m.setPosition(s, symbolIndex(symbols[static_cast<std::size_t>(s - 1)]).value_or(0) - 1);
}

// The key of a symbol: "_" is the space bar (index 27), every other symbol its own key.
inline int keyIndexOf(char symbol) {
    return symbol == '_' ? kWordSpaceIndex : symbolIndex(symbol).value_or(0);
}

// Presses the keys of these symbols one by one; returns what they added to OutputText.
inline std::string typeKeys(MachineState& m, std::string_view symbols) {
    const std::size_t before = m.outputText.size();
    for (const char c : symbols)
        pressKey(m, keyIndexOf(c), c);
    return m.outputText.substr(before);
}

// The state that explains a wrong answer: positions, mode, the per-key variables, the discs.
inline std::string describe(const MachineState& m) {
    std::string out = "positions " + positions(m) + " (";
    for (int s = 1; s <= 5; ++s)
        out += (s > 1 ? " " : "") + std::to_string(m.positions[s]);
    out += "), mode ";
    out += m.cipher() ? "Cipher" : "Decipher";
    out += ", KeyIndex " + std::to_string(m.keyIndex) + ", WorkIndex " +
           std::to_string(m.workIndex) + ", DiscSetting";
    for (const Byte d : m.key.discSetting.raw())
        out += " " + std::to_string(d);
    out += ", InputText \"" + m.inputText + "\", OutputText \"" + m.outputText + "\"";
    return out;
}

} // namespace zelmak::test
