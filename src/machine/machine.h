#pragma once

// The cipher machine: set-up, cipher step, and one key through the machine.
//
// The published routines keep the names of the design (Init, Rotation, Test, TextIO). Each works
// on the MachineState alone; Init reads the operator's draft of the setting. What the texts look
// like in a window is the session's business (src/session).

#include "machine_state.h"
#include "setting_draft.h"

#include <string>

namespace zelmak {

// Set-up: captures the card and disc-number selectors into the key setting, then sets up the
// machine for it (see setUp). Called by the setting check once it has accepted the card. A blank
// selector stops it at that selector with the range error.
void Init(MachineState& m, const SettingDraft& draft);

// The rest of the set-up, for the key setting already captured: writes the fixed tables, derives
// the inverse tables from the discs and from CardTable, folds the disc stages, and turns all five
// discs to "A".
void setUp(MachineState& m);

// The Wrap: brings WorkIndex back into 1..31 with at most one correction each way.
void Test(MachineState& m);

// The cipher step for KeyIndex: card, five discs forward, reflector, five discs back, inverse
// card; the output index is left in WorkIndex. Then the discs step.
void Rotation(MachineState& m);

// One key through the machine: Rotation for KeyIndex, and the output symbol appended to
// OutputText. The session shows both texts afterwards (a run of "Automatic" once, at its end).
void TextIO(MachineState& m);

// What a key does before it runs: its symbol and index become KeyLetter and KeyIndex, and the
// symbol joins InputText. Shared by the keys and "Automatic".
void enterKey(MachineState& m, int keyIndex, char keyLetter);

// A key of the on-screen keyboard (or its accelerator): nothing at all happens unless both
// acceptance flags are 1; then the key is entered and runs through TextIO. The space bar is key
// index 27 with the symbol "_".
void pressKey(MachineState& m, int keyIndex, char keyLetter);

// A machine of its own with this setting and nothing run yet (no texts, which may be long and play
// no part): where a check value or a trace is worked out without moving the machine it came from.
MachineState settingOf(const MachineSetting& setting);

// The check value of a setting: the five output symbols of keying AAAAA in Cipher mode from
// positions A A A A A. Computed on a copy, so the machine itself does not move.
std::string checkValue(const MachineSetting& setting);

} // namespace zelmak
