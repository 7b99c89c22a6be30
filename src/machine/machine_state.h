#pragma once

#include "checked.h"

#include <array>
#include <cstdint>
#include <string>

namespace zelmak {

inline constexpr std::size_t kKeyRecordSize = 36;
using KeyRecordBytes = std::array<Byte, kKeyRecordSize>;

// The key setting as the set-up captured it: what a key file holds.
struct KeyRecord {
    Table<Byte, 1, 31> cardSetting; // item index of card selector k: 0 empty, n = KeyAlphabet[n]
    Table<Byte, 1, 5> discSetting;  // item index of disc-number selector s: 0..4 = disc 1..5

    KeyRecordBytes bytes() const;
    void setBytes(const KeyRecordBytes& bytes);
};
static_assert(sizeof(KeyRecord) == kKeyRecordSize);

// The whole state of the machine, shared by every handler of the window. There is exactly one,
// owned by the main window (or by the command-line program) and passed by reference. Positions
// and the mode are not here: they are the window's selections (see Window).
struct MachineState {
    // Key setting, captured by the set-up.
    KeyRecord key;

    // Working tables, with the index bases of the design.
    Table<Byte, 1, 31> cardTable;         // built by the setting check from the card selectors
    Table<Byte, 1, 31> cardTableInverse;  // cardTableInverse[cardTable[k]] = k
    Table2<Byte, 1, 5, 1, 31> pinTable;   // [disc][position + 1]: 1 = stepping mark
    Table2<Byte, 1, 6, 1, 31> discWiring; // rows 1..5 discs, row 6 the reflector
    Table2<Byte, 1, 5, 1, 31> discWiringInverse;
    Table<char, 1, 31> outputAlphabet; // entry 27 is written by every cipher step

    // Per-key variables; they keep their values between keys.
    std::int32_t keyIndex = 0;
    std::int32_t workIndex = 0;
    std::int32_t savedIndex = 0;
    std::string keyLetter;
    std::string inputText;
    std::string outputText;

    // Acceptance flags (0 or 1); a key is processed only when both are 1.
    Byte cardReady = 0;
    Byte discReady = 0;

    // Setting check.
    std::int32_t cardErrorCount = 0;

    // Random setting.
    Table<Byte, 1, 31> drawnCard;
    Table<Byte, 1, 31> numberFree;
    std::int32_t drawnNumber = 0;

    // Files: the path of the file dialog that last completed, and the proposed key-file name.
    std::string dialogFileName;
    std::string keyFileStem;
    std::string yearText;

    // Automatic processing.
    std::int32_t textPosition = 0;
    std::int32_t lookupIndex = 0;

    bool ready() const { return cardReady == 1 && discReady == 1; }
};

} // namespace zelmak
