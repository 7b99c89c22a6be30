#include "fixed_tables.h"
#include "key_alphabet.h"
#include "machine.h"

namespace zelmak {

using checked::add;
using checked::sub;

void Test(MachineState& m) {
    if (m.workIndex > 31)
        m.workIndex = sub(m.workIndex, 31);
    if (m.workIndex <= 0)
        m.workIndex = add(m.workIndex, 31);
}

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

inline std::int32_t stepForward(std::int32_t p) { return p == 30 ? 0 : add(p, 1); }
inline std::int32_t stepBackward(std::int32_t p) { return p <= 0 ? 30 : sub(p, 1); }

} // namespace

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

    for (int s = 1; s <= 5; ++s) {
        m.workIndex = shiftBefore(m.workIndex, p[s], cipher);
        Test(m);
        m.workIndex = m.discWiring(d[s], m.workIndex);
        m.workIndex = shiftAfter(m.workIndex, p[s], cipher);
        Test(m);
    }

    // The reflector's one entry 0 (contact 15) lets the index through unchanged.
    m.savedIndex = m.workIndex;
    m.workIndex = m.discWiring(fixed::kReflectorRow, m.workIndex);
    if (m.workIndex == 0)
        m.workIndex = m.savedIndex;

    for (int s = 5; s >= 1; --s) {
        m.workIndex = shiftBefore(m.workIndex, p[s], cipher);
        Test(m);
        m.workIndex = m.discWiringInverse(d[s], m.workIndex);
        m.workIndex = shiftAfter(m.workIndex, p[s], cipher);
        Test(m);
    }

    m.workIndex = m.cardTableInverse[m.workIndex];

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
