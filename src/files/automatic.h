#pragma once

#include "machine/machine_state.h"
#include "machine/window.h"

namespace zelmak {

// "Automatic" (Button41Click): runs the whole text of lade through the machine from the discs'
// current positions, in the current mode, as if its keys had been pressed; characters without a
// key are skipped. Like the keys it does nothing at all unless both acceptance flags are 1.
// InputText and OutputText start empty, and both panes are shown once, at the end of the run,
// also when a step fails part-way (the error then goes on to the error box).
void runAutomatic(MachineState& m, Window& w);

} // namespace zelmak
