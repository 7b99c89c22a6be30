#include "machine/trace.h"
#include "machine_test_util.h"

#include <gtest/gtest.h>

#include <vector>

namespace zelmak {
namespace {

using test::acceptSetting;
using test::describe;
using test::positions;
using test::setPositions;
using test::typeKeys;

struct WrapRow {
    const char* name;
    std::int32_t in;
    std::int32_t out;
};

void PrintTo(const WrapRow& row, std::ostream* os) {
    *os << row.name;
}

class Wrap : public ::testing::TestWithParam<WrapRow> {};

TEST_P(Wrap, BringsTheIndexBackWithOneCorrection) {
    MachineState m;
    m.workIndex = GetParam().in;
    zelmak::Test(m); // qualified: inside a test, Test is GoogleTest's class
    EXPECT_EQ(m.workIndex, GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Values, Wrap,
    ::testing::Values(WrapRow{"zero", 0, 31}, WrapRow{"thirty_two", 32, 1},
                      WrapRow{"sixty_two", 62, 31}, WrapRow{"minus_thirty", -30, 1},
                      WrapRow{"thirty_one_stays", 31, 31}, WrapRow{"one_stays", 1, 1},
                      // One correction each way and no remainder: values the machine never
                      // produces show that there is no loop.
                      WrapRow{"sixty_three_once", 63, 32}, WrapRow{"minus_31_once", -31, 0},
                      WrapRow{"int_max_once", 2147483647, 2147483616},
                      WrapRow{"int_min_once", -2147483647 - 1, -2147483617}),
    [](const auto& p) { return std::string(p.param.name); });

struct StepRow {
    const char* name;
    test::Discs discs;
    const char* before;
    const char* after;
};

void PrintTo(const StepRow& row, std::ostream* os) {
    *os << row.name;
}

class Stepping : public ::testing::TestWithParam<StepRow> {};

TEST_P(Stepping, OneKeyMovesTheDiscs) {
    const StepRow& row = GetParam();
    MachineState m;
    acceptSetting(m, test::identityCard(), row.discs);
    setPositions(m, row.before);
    typeKeys(m, "A");
    EXPECT_EQ(positions(m), row.after) << describe(m);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, Stepping,
    ::testing::Values(StepRow{"slot1_N_to_I", test::kServiceDiscs, "NAAAA", "IPAAA"},
                      StepRow{"slot2_I_to_N", test::kServiceDiscs, "AIAAA", "SNAAA"},
                      StepRow{"slot3_N_to_I", test::kServiceDiscs, "IANAA", "2PIAA"},
                      StepRow{"slot4_I_to_N", test::kServiceDiscs, "A2AIA", "SIANA"},
                      StepRow{"slot5_N_to_I", test::kServiceDiscs, "AANAN", "SPNAI"}),
    [](const auto& p) { return std::string(p.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Marks, Stepping,
    ::testing::Values(
        // Slot 1 arriving on "2" (a mark of disc 1) moves slot 3; leaving it does not.
        StepRow{"slot1_arrives_on_mark", test::kServiceDiscs, "IAAAA", "2PSAA"},
        StepRow{"slot1_leaves_mark", test::kServiceDiscs, "2AAAA", "3PAAA"},
        // Slot 2 arriving on "R" (a mark of disc 2) moves slot 4 back; leaving it does not.
        StepRow{"slot2_arrives_on_mark", test::kServiceDiscs, "ATAAA", "SRAPA"},
        StepRow{"slot2_leaves_mark", test::kServiceDiscs, "ARAAA", "SEAAA"},
        // The marks are those of the disc in the slot, not of the slot's number: disc 5 in
        // slot 1 has its mark on "8", disc 1 has none there.
        StepRow{"disc5_in_slot1_mark", {4, 1, 2, 3, 0}, "7AAAA", "8PSAA"},
        StepRow{"disc1_in_slot1_no_mark", test::kServiceDiscs, "7AAAA", "8PAAA"},
        // Slot 3 moved onto "3" (a mark of disc 3) by this key makes slot 5 step at once.
        StepRow{"slot3_arrives_moves_slot5", test::kServiceDiscs, "IA2AA", "2P3AS"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(CipherStep, SlotFiveStepsWhileSlotThreeRestsOnAMark) {
    MachineState m;
    acceptSetting(m);
    setPositions(m, "AA3AA");
    const std::vector<std::string> after{"SP3AS", "DO3AD", "FU3AF", "GZ4AF", "HT4AF"};
    for (std::size_t i = 0; i < after.size(); ++i) {
        typeKeys(m, "Q");
        EXPECT_EQ(positions(m), after[i]) << "after key " << i + 1 << ": " << describe(m);
    }
}

TEST(CipherStep, SlotsOneAndTwoTurnOnceIn31KeysAndMoveThreeAndFourFourTimes) {
    MachineState m;
    acceptSetting(m);
    for (int i = 0; i < 31; ++i)
        typeKeys(m, "E");
    EXPECT_EQ(m.positions[1], kStartPosition);
    EXPECT_EQ(m.positions[2], kStartPosition);
    EXPECT_EQ(m.positions[3], kStartPosition + 4) << describe(m);
    EXPECT_EQ(m.positions[4], kStartPosition - 4) << describe(m);
}

TEST(CipherStep, IndexFifteenPassesTheReflectorUnchanged) {
    MachineState m;
    acceptSetting(m);
    ASSERT_EQ(m.discWiring(6, 15), 0);
    m.keyIndex = 23; // "H" from AAAAA reaches the reflector as 15
    const KeyTrace t = traceRotation(m);
    EXPECT_EQ(t.forward[4].out, 15) << describe(m);
    EXPECT_EQ(t.reflector, 15) << describe(m);
    EXPECT_EQ(m.workIndex, 5) << describe(m);
}

// Every output index shows its KeyAlphabet symbol in both modes, but 27: "Y" in Cipher mode and
// "_" in Decipher mode. An index outside 1..31 is the range error.
TEST(CipherStep, OutputSymbolOfEveryIndexInBothModes) {
    for (int i = 1; i <= kSymbolCount; ++i) {
        EXPECT_EQ(outputSymbol(i, Mode::Cipher), i == 27 ? 'Y' : keySymbol(i)) << i;
        EXPECT_EQ(outputSymbol(i, Mode::Decipher), i == 27 ? '_' : keySymbol(i)) << i;
    }
    EXPECT_THROW(outputSymbol(0, Mode::Cipher), RangeError);
    EXPECT_THROW(outputSymbol(32, Mode::Decipher), RangeError);
}

// Index 27 shows by the mode of its own step: the worked example's ninth key comes out as
// index 27 in Cipher mode ("Y"), its sixth cipher symbol deciphers to index 27 ("_").
TEST(CipherStep, IndexTwentySevenShowsByTheModeOfItsOwnStep) {
    MachineState m;
    acceptSetting(m);
    setPositions(m, "LQSPA");
    EXPECT_EQ(typeKeys(m, "L"), "Y") << describe(m);
    EXPECT_EQ(m.workIndex, 27);
    m.mode = Mode::Decipher;
    setPositions(m, "HTSAA");
    EXPECT_EQ(typeKeys(m, "A"), "_") << describe(m);
    EXPECT_EQ(m.workIndex, 27);
    EXPECT_EQ(m.outputText, "Y_") << "the earlier symbol is not rewritten";
}

struct BrokenStepRow {
    const char* name;
    int slot;     // DiscSetting entry set out of range (0: none)
    Byte value;   // its value
    int keyIndex; // the key pressed
};

void PrintTo(const BrokenStepRow& row, std::ostream* os) {
    *os << row.name;
}

class BrokenStep : public ::testing::TestWithParam<BrokenStepRow> {};

// A step that meets an index out of range stops with the range error before the discs move;
// TextIO appends no output, while InputText and the input pane already hold the key.
TEST_P(BrokenStep, StopsBeforeTheDiscsMove) {
    const BrokenStepRow& row = GetParam();
    MachineState m;
    acceptSetting(m);
    typeKeys(m, "HA");
    setPositions(m, "N2QIV");
    if (row.slot != 0)
        m.key.discSetting[row.slot] = row.value;

    try {
        pressKey(m, row.keyIndex, 'K');
        FAIL() << "the step went through: " << describe(m);
    } catch (const RangeError& e) {
        EXPECT_STREQ(e.what(), "Bereichsüberschreitung");
    }
    EXPECT_EQ(positions(m), "N2QIV") << describe(m);
    EXPECT_EQ(m.inputText, "HAK");
    EXPECT_EQ(m.outputText, "5M");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BrokenStep,
    ::testing::Values(
        // Disc "6" in a slot reaches the reflector's row going forward, but has no inverse row.
        BrokenStepRow{"disc_setting_5_slot_1", 1, 5, 25},
        BrokenStepRow{"disc_setting_5_slot_5", 5, 5, 25},
        BrokenStepRow{"disc_setting_255_slot_3", 3, 255, 25},
        BrokenStepRow{"disc_setting_31_slot_2", 2, 31, 25}, BrokenStepRow{"key_index_0", 0, 0, 0},
        BrokenStepRow{"key_index_32", 0, 0, 32}),
    [](const auto& p) { return std::string(p.param.name); });

// What was written before a failed check stays: WorkIndex holds the value the stage before the
// failing lookup left (the worked example's first key: card 23, then 39 wrapped to 8).
TEST(CipherStep, AFailedLookupLeavesWorkIndexAsTheStageBeforeLeftIt) {
    MachineState m;
    acceptSetting(m);
    m.key.discSetting[1] = 255;
    m.keyIndex = 23;
    EXPECT_THROW(Rotation(m), RangeError);
    EXPECT_EQ(m.workIndex, 8) << describe(m);
    EXPECT_EQ(positions(m), "AAAAA");
}

// A slot never set takes the checked step, which stops at the first mark test that looks at it:
// slot 5's test of slot 3, after slots 1 and 2 have stepped. Slot 3 stepping first sets it.
TEST(CipherStep, AFailedMarkTestKeepsTheStepsMadeBeforeIt) {
    MachineState m;
    acceptSetting(m);
    setPositions(m, "AA?AA");
    m.keyIndex = 23;
    EXPECT_THROW(Rotation(m), RangeError);
    EXPECT_EQ(positions(m), "SP?AA") << describe(m);
    setPositions(m, "IA?AA"); // slot 1 arrives on "2", a mark of disc 1
    Rotation(m);
    EXPECT_EQ(positions(m), "2PIAA") << describe(m);
}

TEST(CipherStep, AKeyMayComeOutAsItself) {
    MachineState m;
    acceptSetting(m);
    // Search the single keys from a few start positions for one that maps to itself.
    bool found = false;
    for (int start = 0; start <= 30 && !found; ++start)
        for (int k = 1; k <= 31 && !found; ++k) {
            for (int s = 1; s <= 5; ++s)
                m.positions[s] = start;
            m.keyIndex = k;
            Rotation(m);
            found = m.workIndex == k;
        }
    EXPECT_TRUE(found);
}

} // namespace
} // namespace zelmak
