#include "disc_maps.h"

#include "machine/machine.h"
#include "machine/step_rules.h"
#include "settings/settings.h"

namespace zelmak::analysis {

namespace {

// The machine's folded stages of one slot in Cipher mode, on symbols 0..30.
struct Stages {
    const FoldedStages& f;
    Symbol forward(int slot, int p, Symbol x) const {
        return static_cast<Symbol>(f.forward[FoldedStages::row(Mode::Cipher, slot, p) + x + 1u] -
                                   1);
    }
    Symbol backward(int slot, int p, Symbol x) const {
        return static_cast<Symbol>(f.backward[FoldedStages::row(Mode::Cipher, slot, p) + x + 1u] -
                                   1);
    }
    Symbol turn(int p, Symbol x) const {
        return static_cast<Symbol>(f.turn[FoldedStages::turnRow(Mode::Cipher, p) + x + 1u] - 1);
    }
};

template <typename Map> Row rowOf(Map map) {
    Row r{};
    for (Symbol x = 0; x < kSymbolCount; ++x)
        r.to[x] = map(x);
    r.to[kSymbolCount] = kSymbolCount;
    return r;
}

Row inverseOf(const Row& r) {
    Row inv{};
    for (Symbol x = 0; x < 32; ++x)
        inv.to[r.to[x]] = x;
    return inv;
}

} // namespace

DiscMaps::DiscMaps(const DiscOrder& order)
    : order_(order), fore_(kOuterRows), back_(kOuterRows), foreInverse_(kOuterRows),
      backInverse_(kOuterRows), inner_(kInnerRows), innerInverse_(kInnerRows) {
    // The machine's own set-up folds the stages; the service card leaves them untouched.
    KeyRecordBytes record = serviceRecord();
    for (std::size_t s = 0; s < kSlotCount; ++s)
        record[kCardBytes + s] = static_cast<Byte>(order[s] - 1);
    const MachineState m = machineFor(record);
    const Stages st{m.folded};

    for (int p1 = 0; p1 < kSymbolCount; ++p1)
        for (int p2 = 0; p2 < kSymbolCount; ++p2) {
            const std::size_t i = outerIndex(p1, p2);
            fore_[i] = rowOf([&](Symbol x) { return st.forward(2, p2, st.forward(1, p1, x)); });
            back_[i] = rowOf([&](Symbol x) { return st.backward(1, p1, st.backward(2, p2, x)); });
            foreInverse_[i] = inverseOf(fore_[i]);
            backInverse_[i] = inverseOf(back_[i]);
        }
    for (int p3 = 0; p3 < kSymbolCount; ++p3)
        for (int p4 = 0; p4 < kSymbolCount; ++p4)
            for (int p5 = 0; p5 < kSymbolCount; ++p5) {
                const std::size_t i = innerIndex(p3, p4, p5);
                inner_[i] = rowOf([&](Symbol x) {
                    const Symbol in = st.forward(4, p4, st.forward(3, p3, x));
                    return st.backward(3, p3, st.backward(4, p4, st.turn(p5, in)));
                });
                innerInverse_[i] = inverseOf(inner_[i]);
            }
    marks_ = m.folded.marks;
}

Symbol DiscMaps::encipher(const DiscPositions& at, Symbol x) const {
    const std::size_t o = outerIndex(at[0], at[1]);
    return back_[o][inner_[innerIndex(at[2], at[3], at[4])][fore_[o][x]]];
}

Symbol DiscMaps::decipher(const DiscPositions& at, Symbol y) const {
    const std::size_t o = outerIndex(at[0], at[1]);
    return foreInverse_[o][innerInverse_[innerIndex(at[2], at[3], at[4])][backInverse_[o][y]]];
}

void DiscMaps::step(DiscPositions& at) const {
    std::int32_t p[kSlotCount] = {at[0], at[1], at[2], at[3], at[4]};
    stepping::stepOnce<stepping::Plain>(
        [&p](int slot) -> std::int32_t& { return p[slot - 1]; },
        [this](int slot, std::int32_t q) { return marked(slot, q); }, [](int) {});
    for (std::size_t s = 0; s < kSlotCount; ++s)
        at[s] = static_cast<std::uint8_t>(p[s]);
}

void DiscMaps::stepBack(DiscPositions& at) const {
    std::int32_t p[kSlotCount] = {at[0], at[1], at[2], at[3], at[4]};
    stepping::stepBack([&p](int slot) -> std::int32_t& { return p[slot - 1]; },
                       [this](int slot, std::int32_t q) { return marked(slot, q); });
    for (std::size_t s = 0; s < kSlotCount; ++s)
        at[s] = static_cast<std::uint8_t>(p[s]);
}

SlowTurns slowTurns(const DiscMaps& maps, int p1, int p2, int p3, std::size_t keys) {
    SlowTurns t;
    t.turned3.resize(keys);
    t.turned4.resize(keys);
    t.turned5.resize(keys);
    DiscPositions at{static_cast<std::uint8_t>(p1), static_cast<std::uint8_t>(p2),
                     static_cast<std::uint8_t>(p3), 0, 0};
    for (std::size_t j = 0; j < keys; ++j) {
        t.turned3[j] = static_cast<std::uint8_t>(turnBack(at[2], p3));
        t.turned4[j] = static_cast<std::uint8_t>(turnBack(0, at[3]));
        t.turned5[j] = at[4];
        maps.step(at);
    }
    return t;
}

DiscPositions positionsAfter(const DiscMaps& maps, DiscPositions start, std::size_t keys) {
    for (std::size_t j = 0; j < keys; ++j)
        maps.step(start);
    return start;
}

DiscPositions positionsBefore(const DiscMaps& maps, DiscPositions later, std::size_t keys) {
    for (std::size_t j = 0; j < keys; ++j)
        maps.stepBack(later);
    return later;
}

} // namespace zelmak::analysis
