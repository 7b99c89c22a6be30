#include "machine/machine.h"
#include "settings.h"

namespace zelmak {

using checked::add;

KeyRecordBytes serviceRecord() {
    KeyRecordBytes record{};
    for (std::size_t k = 0; k < kCardBytes; ++k)
        record[k] = static_cast<Byte>(k + 1);
    for (std::size_t s = 0; s < kSlotCount; ++s)
        record[kCardBytes + s] = static_cast<Byte>(s);
    return record;
}

std::int32_t cardErrorCount(const std::array<int, kSymbolCount>& card) {
    std::int32_t count = 0;
    for (std::size_t i = 0; i < card.size(); ++i)
        for (std::size_t j = 0; j < card.size(); ++j)
            if ((card[i] == card[j] && j != i) || card[i] == 0)
                count = add(count, 1);
    return count;
}

bool cardIsValid(const std::array<int, kSymbolCount>& card) {
    for (const int symbol : card)
        if (symbol < 0 || symbol > kSymbolCount)
            return false;
    return cardErrorCount(card) == 0;
}

bool discsAreValid(const std::array<int, kSlotCount>& discs) {
    // A blank selector (-1) fails the test: the set-up could not capture it, and the keys would
    // all stop with a range error after the check had reported the discs as accepted.
    for (std::size_t a = 0; a < discs.size(); ++a) {
        if (discs[a] < 0 || discs[a] > 4)
            return false;
        for (std::size_t b = a + 1; b < discs.size(); ++b)
            if (discs[a] == discs[b])
                return false;
    }
    return true;
}

const char* recordVerdict(const KeyRecordBytes& record) {
    std::array<int, kSymbolCount> card{};
    std::array<int, kSlotCount> discs{};
    for (std::size_t k = 0; k < card.size(); ++k)
        card[k] = record[k];
    for (std::size_t s = 0; s < discs.size(); ++s)
        discs[s] = record[kCardBytes + s];
    return !cardIsValid(card) ? kCardRejected : !discsAreValid(discs) ? kDiscsRejected : nullptr;
}

bool recordIsValid(const KeyRecordBytes& record) {
    return recordVerdict(record) == nullptr;
}

MachineState machineFor(const KeyRecordBytes& record) {
    if (!recordIsValid(record))
        checked::throwRange();
    MachineState m;
    m.key.setBytes(record);
    for (int k = 1; k <= kSymbolCount; ++k)
        m.cardTable[k] = m.key.cardSetting[k];
    setUp(m);
    m.cardReady = 1;
    m.discReady = 1;
    return m;
}

} // namespace zelmak
