#pragma once

// The cipher machine: set-up, cipher step, and one key through the machine.
//
// The published routines keep the names of the design (Init, Rotation, Test, TextIO). Each works
// on the one MachineState and reaches the window only through the Window interface.

#include "machine_state.h"
#include "window.h"

namespace zelmak {

// Set-up: captures the card and disc-number selectors into the key setting, writes the fixed
// tables, derives the inverse tables from the discs and from CardTable, and turns all five
// discs to "A". Called by the setting check once it has accepted the card.
void Init(MachineState& m, Window& w);

// The Wrap: brings WorkIndex back into 1..31 with at most one correction each way.
void Test(MachineState& m);

// The cipher step for KeyIndex: card, five discs forward, reflector, five discs back, inverse
// card; the output index is left in WorkIndex. Then the discs step.
void Rotation(MachineState& m, Window& w);

enum class PaneRefresh {
    Now,      // rewrite Eingabe before the step and Ausgabe after it
    Deferred, // leave the panes alone; the caller shows both texts once at the end of a run
};

// One key through the machine: shows InputText, runs the cipher step and appends the output
// symbol to OutputText, then shows OutputText.
void TextIO(MachineState& m, Window& w, PaneRefresh refresh = PaneRefresh::Now);

// Rewrites both panes from InputText and OutputText.
void showTexts(const MachineState& m, Window& w);

} // namespace zelmak

namespace zelmak {

// A key of the on-screen keyboard (or its accelerator): nothing at all happens unless both
// acceptance flags are 1; then the key's symbol is appended to InputText and runs through
// TextIO. The space bar is key index 27 with the symbol "_".
void pressKey(MachineState& m, Window& w, int keyIndex, char keyLetter);

// The mode buttons only swap the two keys of index 27; the cipher step reads the mode itself.
void selectDecipher(Window& w); // RadioButton1Click
void selectCipher(Window& w);   // RadioButton2Click

// "Clear all Window": new texts from the discs' current positions; nothing else changes.
void clearAll(MachineState& m, Window& w);

} // namespace zelmak
