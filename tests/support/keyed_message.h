#pragma once

// Messages keyed by the machine itself (the setting check's machine, Rotation key by key), for
// the analysis tests: what a search must find again.

#include "analysis/symbols.h"
#include "machine/machine.h"
#include "settings/settings.h"

#include <algorithm>
#include <random>
#include <vector>

namespace zelmak::testing {

struct KeyedMessage {
    analysis::Card card{};
    analysis::DiscOrder order{};
    analysis::DiscPositions start{};
    std::vector<analysis::Symbol> plain;
    std::vector<analysis::Symbol> cipher;
};

// Keys `plain` in Cipher mode (or Decipher mode) from `start`.
inline std::vector<analysis::Symbol> keyedByMachine(const std::vector<analysis::Symbol>& text,
                                                    const analysis::Card& card,
                                                    const analysis::DiscOrder& order,
                                                    const analysis::DiscPositions& start,
                                                    Mode mode = Mode::Cipher) {
    MachineState m = machineFor(analysis::keyRecordOf(card, order));
    for (int s = 1; s <= kSlotCount; ++s)
        m.positions[s] = start[static_cast<std::size_t>(s - 1)];
    m.mode = mode;
    std::vector<analysis::Symbol> out;
    for (const analysis::Symbol p : text) {
        m.keyIndex = p + 1;
        Rotation(m);
        out.push_back(static_cast<analysis::Symbol>(m.workIndex - 1));
    }
    return out;
}

inline KeyedMessage randomlyKeyed(const std::vector<analysis::Symbol>& plain, std::uint32_t seed) {
    std::mt19937 random(seed);
    KeyedMessage k;
    for (std::size_t i = 0; i < k.card.size(); ++i)
        k.card[i] = static_cast<analysis::Symbol>(i);
    std::shuffle(k.card.begin(), k.card.end(), random);
    k.order = analysis::allDiscOrders()[random() % 120];
    for (auto& p : k.start)
        p = static_cast<std::uint8_t>(random() % kSymbolCount);
    k.plain = plain;
    k.cipher = keyedByMachine(plain, k.card, k.order, k.start);
    return k;
}

} // namespace zelmak::testing
