#include "fixed_tables.h"
#include "key_alphabet.h"
#include "machine.h"

namespace zelmak {

using checked::add;
using checked::byte;

void Init(MachineState& m, Window& w) {
    // A selector with nothing selected (-1) stops the set-up right here, at that selector.
    for (int k = 1; k <= 31; ++k)
        m.key.cardSetting[k] = byte(w.cardItem(k));
    for (int s = 1; s <= 5; ++s)
        m.key.discSetting[s] = byte(w.discItem(s));

    for (int d = 1; d <= 5; ++d) {
        for (int c = 1; c <= 31; ++c)
            m.pinTable(d, c) = 0;
        for (const auto column : fixed::kMarks[static_cast<std::size_t>(d - 1)])
            m.pinTable(d, column) = 1;
    }

    for (int row = 1; row <= 6; ++row)
        for (int c = 1; c <= 31; ++c)
            m.discWiring(row, c) =
                fixed::kWiring[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(c - 1)];

    // The reflector (row 6) has no inverse.
    for (int d = 1; d <= 5; ++d)
        for (int j = 1; j <= 31; ++j)
            m.discWiringInverse(d, m.discWiring(d, j)) = byte(j);

    for (int i = 1; i <= 31; ++i)
        m.cardTableInverse[m.cardTable[i]] = byte(i);

    // Entry 27 belongs to the cipher step, which writes it by the mode on every key.
    for (int i = 1; i <= 31; ++i)
        if (i != kWordSpaceIndex)
            m.outputAlphabet[i] = keySymbol(i);

    for (int s = 1; s <= 5; ++s)
        w.setPosition(s, kStartPosition);
}

} // namespace zelmak
