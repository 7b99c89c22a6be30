#pragma once

#include "machine/machine_state.h"

#include <array>

namespace zelmak {

inline constexpr const char* kCardRejected = "Error Cipher-Card!";
inline constexpr const char* kCardAccepted = "Cipher-Card o.k !!";
inline constexpr const char* kDiscsRejected = "Error Cipher-Disc !!";
inline constexpr const char* kDiscsAccepted = "Cipher-Disc o.k. ";

// The service setting: every key on the card mapped to itself, discs 1 2 3 4 5.
KeyRecordBytes serviceRecord();

// The card rule: an empty entry (0) counts 31 and every ordered pair of entries holding the same
// symbol counts 1; the card is valid when the count is 0. Entries are selector item indexes
// (0..31; 0 is the empty item).
std::int32_t cardErrorCount(const std::array<int, kSymbolCount>& card);
bool cardIsValid(const std::array<int, kSymbolCount>& card);

// The disc test: five selections, all made (item 0..4) and all different.
bool discsAreValid(const std::array<int, kSlotCount>& discs);

// The verdict on a key record (card bytes 1..31, disc bytes 0..4): nothing when both tests pass,
// else the line the check writes for the first that fails.
const char* recordVerdict(const KeyRecordBytes& record);
bool recordIsValid(const KeyRecordBytes& record);

// A machine set up for a key record that passes both tests, as an accepted setting check leaves
// it (flags 1, discs at "A", Cipher): where the command-line companion and the key sheets start.
// Throws RangeError for a record that the check would reject.
MachineState machineFor(const KeyRecordBytes& record);

} // namespace zelmak
