#pragma once

#include "checked.h"
#include "key_alphabet.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

namespace zelmak {

// The key record: the card setting (31 bytes) followed by the disc setting (5 bytes). This is
// what a key file holds, byte for byte.
inline constexpr std::size_t kKeyRecordSize = 36;
inline constexpr std::size_t kCardBytes = kSymbolCount;
using KeyRecordBytes = std::array<Byte, kKeyRecordSize>;

// The key setting as the set-up captured it.
struct KeyRecord {
    // Item index of card selector k: 0 empty, n = KeyAlphabet[n].
    Table<Byte, 1, kSymbolCount> cardSetting;
    // Item index of disc-number selector s: 0..4 = disc 1..5.
    Table<Byte, 1, kSlotCount> discSetting;

    KeyRecordBytes bytes() const;
    void setBytes(const KeyRecordBytes& bytes);

    bool operator==(const KeyRecord&) const = default;
};
static_assert(sizeof(KeyRecord) == kKeyRecordSize);

enum class Mode : std::uint8_t { Cipher, Decipher };

// The symbol shown for output index 1..31: KeyAlphabet[index], except that index 27 shows as "Y"
// when its step ran in Cipher mode and as "_" when it ran in Decipher mode. An index outside
// 1..31 is the range error, as for any table.
inline char outputSymbol(std::int32_t index, Mode mode) {
    checked::expectRange(index, 1, kSymbolCount);
    return index == kWordSpaceIndex && mode == Mode::Decipher ? '_' : keySymbol(index);
}

// A disc position is 0..30 (the symbol KeyAlphabet[p + 1]); kNoPosition is a slot whose position
// was never set, as the window shows it before its first set-up.
inline constexpr std::int32_t kNoPosition = -1;
using Positions = Table<std::int32_t, 1, kSlotCount>;

// Each disc stage of the cipher step (shift, wiring, shift) folded into one table per slot,
// position and mode, for the disc numbers the set-up captured; the turn at the far end (slot 5
// forward, the reflector with contact 15 passing straight through, slot 5 backward) folded
// likewise into one table per position and mode. Built and checked by
// the set-up; the cipher step uses them only while the key setting still names the discs they
// were built for.
struct FoldedStages {
    static constexpr std::size_t kRow = kSymbolCount + 1; // entries 1..31; entry 0 unused
    static constexpr std::size_t kRows = 2 * kSlotCount * kSymbolCount;
    using Rows = std::array<std::uint8_t, kRows * kRow>;

    static constexpr std::size_t row(Mode mode, int slot, int position) {
        return ((static_cast<std::size_t>(mode) * kSlotCount + static_cast<std::size_t>(slot - 1)) *
                    kSymbolCount +
                static_cast<std::size_t>(position)) *
               kRow;
    }
    static constexpr std::size_t turnRow(Mode mode, int position) {
        return (static_cast<std::size_t>(mode) * kSymbolCount +
                static_cast<std::size_t>(position)) *
               kRow;
    }

    Rows forward{};
    Rows backward{};
    std::array<std::uint8_t, 2 * kSymbolCount * kRow> turn{};
    std::array<std::uint32_t, 4> marks{}; // [slot 1..3]: bit p set when position p is a mark
    std::uint64_t discs = kNotBuilt;      // the disc setting these were built for, packed

    static constexpr std::uint64_t kNotBuilt = ~std::uint64_t{0};
    static std::uint64_t pack(const Table<Byte, 1, kSlotCount>& discSetting) {
        std::uint64_t packed = 0;
        std::memcpy(&packed, discSetting.raw().data(), kSlotCount);
        return packed;
    }
    bool fits(const KeyRecord& key) const { return pack(key.discSetting) == discs; }

    bool operator==(const FoldedStages&) const = default;
};

// What a check value and a trace depend on: the key setting as the set-up captured it, and the
// tables the setting check and the set-up built for it. Machines with equal settings encipher
// alike from the same positions in the same mode.
struct MachineSetting {
    KeyRecord key;

    // Working tables, with the index bases of the design.
    Table<Byte, 1, kSymbolCount> cardTable;        // built by the setting check from the card
    Table<Byte, 1, kSymbolCount> cardTableInverse; // cardTableInverse[cardTable[k]] = k
    Table2<Byte, 1, kDiscCount, 1, kSymbolCount> pinTable;       // [disc][position + 1]: 1 = a mark
    Table2<Byte, 1, kDiscCount + 1, 1, kSymbolCount> discWiring; // discs, then the reflector
    Table2<Byte, 1, kDiscCount, 1, kSymbolCount> discWiringInverse;
    FoldedStages folded;

    bool operator==(const MachineSetting&) const = default;
};

// What the keys and the operator change on a setting: the positions and the mode, the per-key
// variables, the texts, and the acceptance flags. The flags belong here, not to the setting: they
// say whether keys may run at all, not what a key does, and they drop to 0 (at the start of a
// random setting or of loading a key file) while the setting stays as it was.
struct MachineRun {
    // The five disc positions and the Cipher/Decipher switch. The window shows them; an
    // operator's pick there writes them here.
    Positions positions = initialPositions();
    Mode mode = Mode::Cipher;

    // Per-key variables; they keep their values between keys.
    std::int32_t keyIndex = 0;
    std::int32_t workIndex = 0;
    std::string keyLetter;
    std::string inputText;
    std::string outputText;

    // Acceptance flags (0 or 1); a key is processed only when both are 1.
    Byte cardReady = 0;
    Byte discReady = 0;

    bool ready() const { return cardReady == 1 && discReady == 1; }
    bool cipher() const { return mode == Mode::Cipher; }

    // Sets slot s (1..5) as a position selector would: a position outside 0..30 leaves it unset.
    void setPosition(int s, std::int32_t position) {
        positions[s] = position >= 0 && position <= kLastPosition ? position : kNoPosition;
    }

private:
    static Positions initialPositions() {
        Positions p;
        p.raw().fill(kNoPosition);
        return p;
    }
};

// The whole state of the machine: its setting, its run, and what the setting check counted. It
// runs without any window and can be copied; there is one per session (or per program run),
// passed by reference.
struct MachineState : MachineSetting, MachineRun {
    // Setting check: an empty card entry adds 31, a symbol used twice 2 for each pair.
    std::int32_t cardErrorCount = 0;
};

} // namespace zelmak
