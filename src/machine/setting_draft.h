#pragma once

#include "key_alphabet.h"
#include "machine_state.h"

#include <array>

namespace zelmak {

// The operator's draft of a key setting: what the 31 card selectors and the five disc-number
// selectors show. The machine takes it only through the setting check and the set-up.
//
// Item indexes are signed: -1 means nothing is selected, and setting an index outside the
// selector's list leaves it blank.
class SettingDraft {
public:
    SettingDraft() {
        m_card.fill(-1);
        m_disc.fill(-1);
    }

    // Card selector k (ComboBox1..ComboBox31): item 0 is empty, items 1..31 are KeyAlphabet.
    // A k outside 1..31 is the range error.
    int cardItem(int k) const { return m_card[index(k, kSymbolCount)]; }
    void setCardItem(int k, int item) { m_card[index(k, kSymbolCount)] = within(item, 32); }

    // Disc-number selector s (ComboBoxS1..ComboBoxS5): items "1".."5".
    int discItem(int s) const { return m_disc[index(s, 5)]; }
    void setDiscItem(int s, int item) { m_disc[index(s, 5)] = within(item, 5); }

    // A key record's 36 bytes into the selectors: a card byte above 31 or a disc byte above 4
    // leaves its selector blank.
    void setRecord(const KeyRecordBytes& record) {
        for (int k = 1; k <= kSymbolCount; ++k)
            setCardItem(k, record[static_cast<std::size_t>(k - 1)]);
        for (int s = 1; s <= 5; ++s)
            setDiscItem(s, record[kCardBytes + static_cast<std::size_t>(s - 1)]);
    }

    bool operator==(const SettingDraft&) const = default;

private:
    static std::size_t index(int i, int high) {
        checked::expectRange(i, 1, high);
        return static_cast<std::size_t>(i - 1);
    }
    static int within(int item, int count) { return item >= 0 && item < count ? item : -1; }

    std::array<int, kSymbolCount> m_card;
    std::array<int, 5> m_disc;
};

} // namespace zelmak
