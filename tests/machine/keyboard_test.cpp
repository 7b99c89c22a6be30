// A key through the machine: the gate of the acceptance flags, and the two keys of index 27.

#include "machine_test_util.h"

#include <gtest/gtest.h>

namespace zelmak {
namespace {

using test::acceptSetting;
using test::describe;
using test::typeKeys;

struct GateRow {
    const char* name;
    Byte cardReady;
    Byte discReady;
};

class KeyGate : public ::testing::TestWithParam<GateRow> {};

// A flag is tested for being exactly 1: any other value keeps every key dead.
TEST_P(KeyGate, AKeyDoesNothingUnlessBothFlagsAreExactlyOne) {
    MachineState m;
    acceptSetting(m);
    typeKeys(m, "HAL");
    m.cardReady = GetParam().cardReady;
    m.discReady = GetParam().discReady;
    const MachineState before = m;
    for (int k = 1; k <= kSymbolCount; ++k)
        pressKey(m, k, keySymbol(k));
    pressKey(m, kWordSpaceIndex, '_');
    EXPECT_EQ(m.inputText, before.inputText);
    EXPECT_EQ(m.outputText, before.outputText);
    EXPECT_EQ(m.positions, before.positions) << describe(m);
    EXPECT_EQ(m.keyLetter, before.keyLetter);
}

INSTANTIATE_TEST_SUITE_P(Flags, KeyGate,
                         ::testing::Values(GateRow{"both_zero", 0, 0}, GateRow{"card_only", 1, 0},
                                           GateRow{"discs_only", 0, 1}, GateRow{"card_two", 2, 1},
                                           GateRow{"discs_two", 1, 2},
                                           GateRow{"both_255", 255, 255}),
                         [](const auto& p) { return std::string(p.param.name); });

// The space bar enters "_" and the Y key "Y", both as index 27.
TEST(Keyboard, SpaceBarAndYKeyEnterTheirOwnSymbolAsIndex27) {
    for (const auto& [mode, letter] :
         {std::pair{Mode::Cipher, '_'}, std::pair{Mode::Decipher, 'Y'}}) {
        MachineState m;
        acceptSetting(m);
        m.mode = mode;
        pressKey(m, kWordSpaceIndex, letter);
        EXPECT_EQ(m.keyLetter, std::string(1, letter));
        EXPECT_EQ(m.keyIndex, kWordSpaceIndex);
        EXPECT_EQ(m.inputText, std::string(1, letter));
        EXPECT_EQ(m.outputText.size(), 1u);
    }
}

} // namespace
} // namespace zelmak
