#include "fixed_tables.h"
#include "key_alphabet.h"
#include "machine.h"
#include "trace.h"

namespace zelmak {

using checked::add;
using checked::sub;

namespace {

// The Wrap. Of the two corrections at most one applies, and which one is known from the value
// before either: above 31 the first leaves at least 1, so the second is not needed. Both are
// computed as 31 or 0 by masks instead of being jumped to: on real text a correction is needed
// about half the time, and mispredicted jumps cost more than the rest of the step.
inline std::int32_t wrap(std::int32_t v) {
    const std::int32_t down = -static_cast<std::int32_t>(v > 31) & 31;
    const std::int32_t up = -static_cast<std::int32_t>(v <= 0) & 31;
    return add(sub(v, down), up);
}

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

inline std::int32_t stepForward(std::int32_t p) {
    return p == 30 ? 0 : add(p, 1);
}
inline std::int32_t stepBackward(std::int32_t p) {
    return p <= 0 ? 30 : sub(p, 1);
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
    std::int32_t p[6];
    std::int32_t d[6];
    for (int s = 1; s <= 5; ++s) {
        p[s] = m.positions[s];
        d[s] = add(m.key.discSetting[s], 1);
    }

    // WorkIndex rides in a register through the passes and is stored once at the end; if a check
    // stops the step, it is stored as it stood at that point, as if every stage had stored it.
    std::int32_t v = m.workIndex;
    try {
        for (int s = 1; s <= 5; ++s) {
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

        for (int s = 5; s >= 1; --s) {
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

    // Stepping, the same in both modes. Each test sees the steps made before it on this key;
    // the test for slot 5 looks at slot 3 whether or not slot 3 has just moved.
    m.positions[1] = p[1] = stepForward(p[1]);
    trace.stepped(1);
    m.positions[2] = p[2] = stepBackward(p[2]);
    trace.stepped(2);
    if (m.pinTable(d[1], add(p[1], 1)) != 0) {
        m.positions[3] = p[3] = stepForward(p[3]);
        trace.stepped(3);
    }
    if (m.pinTable(d[2], add(p[2], 1)) != 0) {
        m.positions[4] = p[4] = stepBackward(p[4]);
        trace.stepped(4);
    }
    if (m.pinTable(d[3], add(p[3], 1)) != 0) {
        m.positions[5] = p[5] = stepForward(p[5]);
        trace.stepped(5);
    }
}

// The start of every step: the card, and entry 27 of OutputAlphabet by the mode, which is read
// once, here. KeyIndex outside 1..31 stops the step with the range error before anything else.
inline bool beginStep(MachineState& m) {
    m.workIndex = m.cardTable[m.keyIndex];
    const bool cipher = m.cipher();
    m.outputAlphabet[kWordSpaceIndex] = cipher ? 'Y' : '_';
    return cipher;
}

// Whether all five positions lie in 0..30, without a loop or a branch per slot.
inline bool positionsInRange(const std::array<std::int32_t, 5>& p) {
    const std::uint32_t out =
        (static_cast<std::uint32_t>(p[0]) > 30u) | (static_cast<std::uint32_t>(p[1]) > 30u) |
        (static_cast<std::uint32_t>(p[2]) > 30u) | (static_cast<std::uint32_t>(p[3]) > 30u) |
        (static_cast<std::uint32_t>(p[4]) > 30u);
    return out == 0;
}

} // namespace

void Test(MachineState& m) {
    m.workIndex = wrap(m.workIndex);
}

void Rotation(MachineState& m) {
    const bool cipher = beginStep(m);
    const FoldedStages& f = m.folded;
    auto& pos = m.positions.raw();
    const std::int32_t card = m.workIndex;

    // The folded tables hold for the disc numbers they were built for, positions 0..30 and the
    // card's indexes 1..31; anything else takes the checked step, which stops where it must.
    if (!f.fits(m.key) || static_cast<std::uint32_t>(card - 1) > 30u || !positionsInRange(pos))
        [[unlikely]] {
        NoTrace none;
        checkedStep(m, cipher, none);
        return;
    }

    const std::size_t base = FoldedStages::row(m.mode, 1, 0);
    constexpr std::size_t kSlot = 31 * FoldedStages::kRow;
    const std::size_t r1 = base + static_cast<std::size_t>(pos[0]) * FoldedStages::kRow;
    const std::size_t r2 = base + kSlot + static_cast<std::size_t>(pos[1]) * FoldedStages::kRow;
    const std::size_t r3 = base + 2 * kSlot + static_cast<std::size_t>(pos[2]) * FoldedStages::kRow;
    const std::size_t r4 = base + 3 * kSlot + static_cast<std::size_t>(pos[3]) * FoldedStages::kRow;
    const std::size_t r5 = base + 4 * kSlot + static_cast<std::size_t>(pos[4]) * FoldedStages::kRow;
    std::size_t v = static_cast<std::size_t>(card);
    v = f.forward[r1 + v];
    v = f.forward[r2 + v];
    v = f.forward[r3 + v];
    v = f.forward[r4 + v];
    v = f.forward[r5 + v];
    v = f.reflector[v];
    v = f.backward[r5 + v];
    v = f.backward[r4 + v];
    v = f.backward[r3 + v];
    v = f.backward[r2 + v];
    v = f.backward[r1 + v];
    m.workIndex = m.cardTableInverse.raw()[v - 1];

    // Stepping, as in the checked step; the marks of the discs in slots 1..3 are bit sets.
    const std::int32_t p1 = pos[0] == 30 ? 0 : pos[0] + 1;
    const std::int32_t p2 = pos[1] == 0 ? 30 : pos[1] - 1;
    std::int32_t p3 = pos[2];
    pos[0] = p1;
    pos[1] = p2;
    if ((f.marks[1] >> p1) & 1u)
        pos[2] = p3 = p3 == 30 ? 0 : p3 + 1;
    if ((f.marks[2] >> p2) & 1u)
        pos[3] = pos[3] == 0 ? 30 : pos[3] - 1;
    if ((f.marks[3] >> p3) & 1u)
        pos[4] = pos[4] == 30 ? 0 : pos[4] + 1;
}

KeyTrace traceRotation(MachineState& m) {
    KeyTrace t;
    t.keyIndex = m.keyIndex;
    t.mode = m.mode;
    for (int s = 1; s <= 5; ++s) {
        t.before[static_cast<std::size_t>(s - 1)] = m.positions[s];
        t.disc[static_cast<std::size_t>(s - 1)] = m.key.discSetting[s] + 1;
    }
    const bool cipher = beginStep(m);
    t.card = m.workIndex;
    Recorder recorder{t};
    checkedStep(m, cipher, recorder);
    t.output = m.workIndex;
    t.symbol = m.outputAlphabet[m.workIndex];
    for (int s = 1; s <= 5; ++s)
        t.after[static_cast<std::size_t>(s - 1)] = m.positions[s];
    return t;
}

} // namespace zelmak
