#pragma once

#include "machine/machine_state.h"
#include "machine/window.h"

#include <array>

namespace zelmak {

inline constexpr const char* kCardRejected = "Error Cipher-Card!";
inline constexpr const char* kCardAccepted = "Cipher-Card o.k !!";
inline constexpr const char* kDiscsRejected = "Error Cipher-Disc !!";
inline constexpr const char* kDiscsAccepted = "Cipher-Disc o.k. ";

// The setting check ("Check Cipher", and every operator's pick in a card or disc-number
// selector): builds CardTable, tests card and disc numbers, sets the acceptance flags, reports
// the verdict as lines of Ausgabe, enables the buttons that need an accepted setting, and runs
// the set-up whenever the card is accepted.
void checkSetting(MachineState& m, Window& w);

// The service setting ("Service Cipher", and the window's creation): the identity card and
// discs 1 2 3 4 5, then the setting check.
void serviceSetting(MachineState& m, Window& w);

// The card test: every symbol 1..31 used exactly once, no empty entry.
bool cardIsValid(const std::array<int, 31>& card);

// The disc test: five selections, all made and all different.
bool discsAreValid(const std::array<int, 5>& discs);

} // namespace zelmak
