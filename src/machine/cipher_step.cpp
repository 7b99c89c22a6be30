#include "fixed_tables.h"
#include "key_alphabet.h"
#include "machine.h"

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

} // namespace

void Test(MachineState& m) {
    m.workIndex = wrap(m.workIndex);
}

void Rotation(MachineState& m, Window& w) {
    m.workIndex = m.cardTable[m.keyIndex];

    const bool cipher = w.cipherMode();
    m.outputAlphabet[kWordSpaceIndex] = cipher ? 'Y' : '_';

    // Nothing moves the discs while the index passes through, so each position is read once.
    std::int32_t p[6];
    std::int32_t d[6];
    for (int s = 1; s <= 5; ++s) {
        p[s] = w.position(s);
        d[s] = add(m.key.discSetting[s], 1);
    }

    // WorkIndex rides in a register through the passes and is stored once at the end; if a check
    // stops the step, it is stored as it stood at that point, as if every stage had stored it.
    std::int32_t v = m.workIndex;
    try {
        for (int s = 1; s <= 5; ++s) {
            v = wrap(shiftBefore(v, p[s], cipher));
            v = m.discWiring(d[s], v);
            v = wrap(shiftAfter(v, p[s], cipher));
        }

        // The reflector's one entry 0 (contact 15) lets the index through unchanged.
        m.savedIndex = v;
        const std::int32_t reflected = m.discWiring(fixed::kReflectorRow, v);
        v = reflected == 0 ? m.savedIndex : reflected;

        for (int s = 5; s >= 1; --s) {
            v = wrap(shiftBefore(v, p[s], cipher));
            v = m.discWiringInverse(d[s], v);
            v = wrap(shiftAfter(v, p[s], cipher));
        }

        v = m.cardTableInverse[v];
    } catch (...) {
        m.workIndex = v;
        throw;
    }
    m.workIndex = v;

    // Stepping, the same in both modes. Each test sees the steps made before it on this key;
    // the test for slot 5 looks at slot 3 whether or not slot 3 has just moved.
    p[1] = stepForward(p[1]);
    w.setPosition(1, p[1]);
    p[2] = stepBackward(p[2]);
    w.setPosition(2, p[2]);
    if (m.pinTable(d[1], add(p[1], 1)) != 0) {
        p[3] = stepForward(p[3]);
        w.setPosition(3, p[3]);
    }
    if (m.pinTable(d[2], add(p[2], 1)) != 0) {
        p[4] = stepBackward(p[4]);
        w.setPosition(4, p[4]);
    }
    if (m.pinTable(d[3], add(p[3], 1)) != 0) {
        p[5] = stepForward(p[5]);
        w.setPosition(5, p[5]);
    }
}

} // namespace zelmak
