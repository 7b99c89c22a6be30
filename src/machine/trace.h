#pragma once

#include "key_alphabet.h"
#include "machine_state.h"

#include <array>
#include <vector>

namespace zelmak {

// One disc stage of a key: the index coming in, the contact it enters the disc at (after the
// shift before the wiring), the contact it leaves by (the wiring), and the index going out
// (after the shift after the wiring).
struct StageTrace {
    int in = 0;
    int entry = 0;
    int exit = 0;
    int out = 0;
};

// Everything one key did inside the machine, stage by stage.
struct KeyTrace {
    int keyIndex = 0;
    Mode mode = Mode::Cipher;
    std::array<int, kSlotCount> before{}; // positions of slots 1..5 at [s - 1]
    std::array<int, kSlotCount> after{};
    std::array<int, kSlotCount> disc{};           // disc number 1..5 in slot s
    int card = 0;                                 // after the card
    std::array<StageTrace, kSlotCount> forward{}; // slot s at [s - 1]
    int reflector = 0; // after the reflector (15 passes straight through)
    std::array<StageTrace, kSlotCount>
        backward{};  // slot s at [s - 1], run from slot 5 down to slot 1
    int output = 0;  // after the inverse card: the output index
    char symbol = 0; // the output symbol
    std::array<bool, kSlotCount> stepped{};
};

// Runs the cipher step for KeyIndex on the machine, exactly as Rotation does (WorkIndex and the
// positions change alike, and errors stop it at the same point), and records every stage.
KeyTrace traceRotation(MachineState& m);

struct KeyAt;

// The trace of a key of a history, run on a copy of the machine's setting and tables at the
// positions and in the mode the key had; the machine itself does not change.
KeyTrace traceKey(const MachineState& m, const KeyAt& key);
std::vector<KeyTrace> traceKeys(const MachineState& m, const std::vector<KeyAt>& keys);

} // namespace zelmak
