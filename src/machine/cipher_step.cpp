#include "fixed_tables.h"
#include "folded_step.h"
#include "key_alphabet.h"
#include "machine.h"
#include "step_rules.h"
#include "trace.h"

#include <algorithm>
#include <iterator>

namespace zelmak {

using checked::add;
using checked::sub;

namespace {

// A disc stage shifts WorkIndex by the slot's position before and after its lookup. Only the
// sign of the position depends on the mode; the -1 before and +1 after are the same in both.
// This is why the backward pass is not the inverse of the forward pass, and why Cipher mode is
// not its own inverse.
inline std::int32_t shiftBefore(std::int32_t w, std::int32_t p, bool cipher) {
    return cipher ? sub(add(w, p), 1) : sub(sub(w, p), 1);
}

inline std::int32_t shiftAfter(std::int32_t w, std::int32_t p, bool cipher) {
    return cipher ? add(add(w, p), 1) : add(sub(w, p), 1);
}

// Records nothing: the checked step as Rotation runs it when the folded tables do not apply.
struct NoTrace {
    void stage(bool, int, int, int, int, int) {}
    void reflector(int) {}
    void stepped(int) {}
};

struct Recorder {
    KeyTrace& t;
    void stage(bool forward, int s, int in, int entry, int exit, int out) {
        auto& st = (forward ? t.forward : t.backward)[static_cast<std::size_t>(s - 1)];
        st = {in, entry, exit, out};
    }
    void reflector(int v) { t.reflector = v; }
    void stepped(int s) { t.stepped[static_cast<std::size_t>(s - 1)] = true; }
};

// The cipher step with every index and every operation checked, stage by stage as designed.
// Everything before the stepping reads the positions once: nothing moves a disc while the index
// passes through.
template <typename Trace> void checkedStep(MachineState& m, bool cipher, Trace& trace) {
    std::int32_t p[kSlotCount + 1];
    std::int32_t d[kSlotCount + 1];
    for (int s = 1; s <= kSlotCount; ++s) {
        p[s] = m.positions[s];
        d[s] = add(m.key.discSetting[s], 1);
    }

    // WorkIndex rides in a register through the passes and is stored once at the end; if a check
    // stops the step, it is stored as it stood at that point, as if every stage had stored it.
    std::int32_t v = m.workIndex;
    try {
        for (int s = 1; s <= kSlotCount; ++s) {
            const std::int32_t in = v;
            const std::int32_t entry = wrap(shiftBefore(v, p[s], cipher));
            v = entry;
            v = m.discWiring(d[s], v);
            const std::int32_t exit = v;
            v = wrap(shiftAfter(v, p[s], cipher));
            trace.stage(true, s, in, entry, exit, v);
        }

        // The reflector's one entry 0 (contact 15) lets the index through unchanged.
        const std::int32_t reflected = m.discWiring(fixed::kReflectorRow, v);
        v = reflected == 0 ? v : reflected;
        trace.reflector(v);

        for (int s = kSlotCount; s >= 1; --s) {
            const std::int32_t in = v;
            const std::int32_t entry = wrap(shiftBefore(v, p[s], cipher));
            v = entry;
            v = m.discWiringInverse(d[s], v);
            const std::int32_t exit = v;
            v = wrap(shiftAfter(v, p[s], cipher));
            trace.stage(false, s, in, entry, exit, v);
        }

        v = m.cardTableInverse[v];
    } catch (...) {
        m.workIndex = v;
        throw;
    }
    m.workIndex = v;

    // Each slot stored as it steps: a failed mark test leaves the steps before it made.
    stepping::stepOnce<stepping::Checked>(
        [&m](int slot) -> std::int32_t& { return m.positions[slot]; },
        [&m, &d](int guide, std::int32_t position) {
            return m.pinTable(d[guide], add(position, 1)) != 0;
        },
        [&trace](int slot) { trace.stepped(slot); });
}

// The start of every step: the card, and the mode, which is read once, here. KeyIndex outside
// 1..31 stops the step with the range error before anything else.
inline bool beginStep(MachineState& m) {
    m.workIndex = m.cardTable[m.keyIndex];
    return m.cipher();
}

} // namespace

void Test(MachineState& m) {
    m.workIndex = wrap(m.workIndex);
}

void Rotation(MachineState& m) {
    const bool cipher = beginStep(m);
    const std::int32_t card = m.workIndex;

    // The folded tables hold for the disc numbers they were built for, positions 0..30 and the
    // card's indexes 1..31; anything else takes the checked step, which stops where it must.
    if (!folded::applies(m) || static_cast<std::uint32_t>(card - 1) >=
                                   static_cast<std::uint32_t>(kSymbolCount)) [[unlikely]] {
        NoTrace none;
        checkedStep(m, cipher, none);
        return;
    }
    auto& positions = m.positions.raw();
    std::int32_t pos[kSlotCount] = {positions[0], positions[1], positions[2], positions[3],
                                    positions[4]};
    const std::size_t v = folded::step(m.folded, m.mode, pos, static_cast<std::size_t>(card));
    m.workIndex = m.cardTableInverse.raw()[v - 1];
    std::copy(std::begin(pos), std::end(pos), positions.begin());
}

KeyTrace traceRotation(MachineState& m) {
    KeyTrace t;
    t.keyIndex = m.keyIndex;
    t.mode = m.mode;
    for (int s = 1; s <= kSlotCount; ++s) {
        t.before[static_cast<std::size_t>(s - 1)] = m.positions[s];
        t.disc[static_cast<std::size_t>(s - 1)] = m.key.discSetting[s] + 1;
    }
    const bool cipher = beginStep(m);
    t.card = m.workIndex;
    Recorder recorder{t};
    checkedStep(m, cipher, recorder);
    t.output = m.workIndex;
    t.symbol = outputSymbol(m.workIndex, t.mode);
    for (int s = 1; s <= kSlotCount; ++s)
        t.after[static_cast<std::size_t>(s - 1)] = m.positions[s];
    return t;
}

} // namespace zelmak
