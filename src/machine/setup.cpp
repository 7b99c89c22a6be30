#include "fixed_tables.h"
#include "key_alphabet.h"
#include "machine.h"
#include "step_rules.h"

namespace zelmak {

using checked::byte;

namespace {

// Folds each slot's disc stage (shift, wiring, shift) for every position and both modes, from
// the tables just written. Only disc numbers 1..5 can be folded; for any other the cipher step
// keeps to its checked path, which stops with the range error before any disc moves.
void fold(MachineState& m) {
    FoldedStages& f = m.folded;
    f.discs = FoldedStages::kNotBuilt;
    for (const Byte d : m.key.discSetting.raw())
        if (d >= kDiscCount)
            return;
    for (const Mode mode : {Mode::Cipher, Mode::Decipher}) {
        const std::int32_t sign = mode == Mode::Cipher ? 1 : -1;
        for (int s = 1; s <= kSlotCount; ++s) {
            const std::int32_t d = m.key.discSetting[s] + 1;
            for (std::int32_t p = 0; p <= kLastPosition; ++p) {
                const std::size_t row = FoldedStages::row(mode, s, p);
                for (std::int32_t in = 1; in <= kSymbolCount; ++in) {
                    const std::int32_t entry = wrap(in + sign * p - 1);
                    const std::size_t at = row + static_cast<std::size_t>(in);
                    f.forward[at] = byte(wrap(m.discWiring(d, entry) + sign * p + 1));
                    f.backward[at] = byte(wrap(m.discWiringInverse(d, entry) + sign * p + 1));
                }
            }
        }
    }
    // The reflector's entry 0 (contact 15) lets the index through. The tables just written hold
    // 1..31 only, so the lookups of the turn stay inside them.
    std::array<std::uint8_t, FoldedStages::kRow> reflector{};
    for (std::int32_t c = 1; c <= kSymbolCount; ++c) {
        const std::int32_t r = m.discWiring(fixed::kReflectorRow, c);
        reflector[static_cast<std::size_t>(c)] = byte(r == 0 ? c : r);
    }
    for (const Mode mode : {Mode::Cipher, Mode::Decipher})
        for (std::int32_t p = 0; p <= kLastPosition; ++p) {
            const std::size_t row = FoldedStages::row(mode, kSlotCount, p);
            for (std::size_t in = 1; in <= kSymbolCount; ++in)
                f.turn[FoldedStages::turnRow(mode, p) + in] =
                    f.backward[row + reflector[f.forward[row + in]]];
        }
    for (int s = 1; s <= 3; ++s) {
        std::uint32_t bits = 0;
        for (std::int32_t p = 0; p <= kLastPosition; ++p)
            if (m.pinTable(m.key.discSetting[s] + 1, p + 1) != 0)
                bits |= 1u << p;
        f.marks[static_cast<std::size_t>(s)] = bits;
    }
    f.discs = FoldedStages::pack(m.key.discSetting);
}

// The check value keys A five times.
constexpr int kCheckValueLength = 5;

} // namespace

void Init(MachineState& m, const SettingDraft& draft) {
    // A selector with nothing selected (-1) stops the set-up right here, at that selector.
    for (int k = 1; k <= kSymbolCount; ++k)
        m.key.cardSetting[k] = byte(draft.cardItem(k));
    for (int s = 1; s <= kSlotCount; ++s)
        m.key.discSetting[s] = byte(draft.discItem(s));
    setUp(m);
}

void setUp(MachineState& m) {
    for (int d = 1; d <= kDiscCount; ++d) {
        for (int c = 1; c <= kSymbolCount; ++c)
            m.pinTable(d, c) = 0;
        for (const auto column : fixed::kMarks[static_cast<std::size_t>(d - 1)])
            m.pinTable(d, column) = 1;
    }

    for (int row = 1; row <= fixed::kReflectorRow; ++row)
        for (int c = 1; c <= kSymbolCount; ++c)
            m.discWiring(row, c) =
                fixed::kWiring[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(c - 1)];

    // The reflector (row 6) has no inverse.
    for (int d = 1; d <= kDiscCount; ++d)
        for (int j = 1; j <= kSymbolCount; ++j)
            m.discWiringInverse(d, m.discWiring(d, j)) = byte(j);

    for (int i = 1; i <= kSymbolCount; ++i)
        m.cardTableInverse[m.cardTable[i]] = byte(i);

    fold(m);

    for (int s = 1; s <= kSlotCount; ++s)
        m.positions[s] = kStartPosition;
}

MachineState settingOf(const MachineSetting& setting) {
    MachineState m;
    static_cast<MachineSetting&>(m) = setting;
    return m;
}

std::string checkValue(const MachineSetting& setting) {
    MachineState m = settingOf(setting);
    m.mode = Mode::Cipher;
    for (int s = 1; s <= kSlotCount; ++s)
        m.positions[s] = kStartPosition;
    const int a = *symbolIndex('A');
    std::string value;
    for (int i = 0; i < kCheckValueLength; ++i) {
        m.keyIndex = a;
        Rotation(m);
        value.push_back(outputSymbol(m.workIndex, Mode::Cipher));
    }
    return value;
}

} // namespace zelmak
