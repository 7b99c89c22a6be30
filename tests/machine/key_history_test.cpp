// Keys taken back and done again: the discs stand where they stood before each key, across the
// stepping marks of every slot, in both modes, also after the operator picked positions in
// between; a run of "Automatic" is one step; the traces of a history's keys are those the keys
// had.

#include "machine/key_history.h"
#include "machine/trace.h"
#include "machine/trace_csv.h"
#include "machine_test_util.h"

#include <gtest/gtest.h>

#include <vector>

namespace zelmak {
namespace {

using test::acceptSetting;
using test::describe;
using test::keyIndexOf;
using test::positions;
using test::setPositions;

// Everything a key changes.
struct Snapshot {
    std::string positions;
    std::int32_t keyIndex;
    std::int32_t workIndex;
    std::string keyLetter;
    std::string input;
    std::string output;

    static Snapshot of(const MachineState& m) {
        return {test::positions(m), m.keyIndex,  m.workIndex,
                m.keyLetter,        m.inputText, m.outputText};
    }
    bool operator==(const Snapshot&) const = default;
};

void PrintTo(const Snapshot& s, std::ostream* os) {
    *os << "positions " << s.positions << ", KeyIndex " << s.keyIndex << ", WorkIndex "
        << s.workIndex << ", KeyLetter \"" << s.keyLetter << "\", input \"" << s.input
        << "\", output \"" << s.output << "\"";
}

struct UndoRow {
    const char* name;
    const char* start;
    Mode mode;
    const char* keys;
    int pickBefore; // the operator picks positions before this key (0-based), or -1
    const char* pick;
};

// From A A A A A slot 1 reaches a mark of disc 1 on the 4th key (slot 3 steps) and slot 2 one of
// disc 2 on the 6th (slot 4 steps back); from A A 3 A A slot 3 stands on a mark of disc 3, so
// slot 5 steps on every key until slot 3 moves on.
const UndoRow kUndoRows[] = {
    {"worked_example_cipher", "AAAAA", Mode::Cipher, "HALLO_ALLE", -1, ""},
    {"worked_example_decipher", "AAAAA", Mode::Decipher, "5M5QHAI6Y4", -1, ""},
    {"slot3_on_a_mark_cipher", "AA3AA", Mode::Cipher, "IIIIIII", -1, ""},
    {"slot3_on_a_mark_decipher", "AA3AA", Mode::Decipher, "NNNNNNN", -1, ""},
    {"pick_before_slot2_crosses_a_mark", "AAAAA", Mode::Cipher, "HALLO_ALLE", 3, "GZ3AA"},
    {"pick_in_decipher", "Q7ZN2", Mode::Decipher, "RN6C9HKGK2", 5, "9Y8DK"},
};

class UndoKeys : public ::testing::TestWithParam<UndoRow> {};

TEST_P(UndoKeys, EachKeyBackToWhereItStartedAndForwardToWhereItEnded) {
    const UndoRow& row = GetParam();
    MachineState m;
    acceptSetting(m);
    setPositions(m, row.start);
    m.mode = row.mode;
    KeyHistory history;

    std::vector<Snapshot> before;
    std::vector<Snapshot> after;
    const std::string keys = row.keys;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (static_cast<int>(i) == row.pickBefore)
            setPositions(m, row.pick);
        before.push_back(Snapshot::of(m));
        history.pressKey(m, keyIndexOf(keys[i]), keys[i]);
        after.push_back(Snapshot::of(m));
    }
    ASSERT_EQ(history.undoDepth(m), keys.size());

    for (std::size_t i = keys.size(); i-- > 0;) {
        ASSERT_TRUE(history.undo(m)) << "key " << i;
        EXPECT_EQ(Snapshot::of(m), before[i]) << "undo of key " << i + 1;
    }
    EXPECT_FALSE(history.undo(m));
    EXPECT_EQ(history.redoDepth(m), keys.size());

    // The operator changes the mode meanwhile: a redo still gives each key's own result.
    m.mode = row.mode == Mode::Cipher ? Mode::Decipher : Mode::Cipher;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        ASSERT_TRUE(history.redo(m)) << "key " << i;
        EXPECT_EQ(Snapshot::of(m), after[i]) << "redo of key " << i + 1;
    }
    EXPECT_FALSE(history.redo(m));
}

INSTANTIATE_TEST_SUITE_P(Rows, UndoKeys, ::testing::ValuesIn(kUndoRows),
                         [](const auto& row) { return std::string(row.param.name); });

class History : public ::testing::Test {
protected:
    void SetUp() override { acceptSetting(m); }
    void type(std::string_view keys) {
        for (const char c : keys)
            history.pressKey(m, keyIndexOf(c), c);
    }
    MachineState m;
    KeyHistory history;
};

TEST_F(History, UndoThenTypingDropsWhatWasTakenBack) {
    type("HALLO");
    history.undo(m);
    history.undo(m);
    type("LO_ALLE");
    EXPECT_EQ(m.outputText, "5M5QHAI6Y4") << describe(m);
    EXPECT_FALSE(history.canRedo(m));
    EXPECT_EQ(history.undoDepth(m), 10u);
}

TEST_F(History, AutomaticIsOneStepAndGivesBackTheTextsItReplaced) {
    type("QQ");
    const Snapshot typed = Snapshot::of(m);
    setPositions(m, "AAAAA"); // the operator's pick before the run
    const Snapshot picked = Snapshot::of(m);
    history.runAutomatic(m, "Hallo alle");
    const Snapshot ran = Snapshot::of(m);
    ASSERT_EQ(m.outputText, "5M5QHAI6Y4") << describe(m);
    type("E");

    history.undo(m);
    EXPECT_EQ(Snapshot::of(m), ran);
    history.undo(m);
    EXPECT_EQ(Snapshot::of(m), picked);
    EXPECT_EQ(m.outputText, typed.output);
    history.redo(m);
    EXPECT_EQ(Snapshot::of(m), ran);
    EXPECT_EQ(m.inputText, "HALLO_ALLE");
    history.undo(m);
    EXPECT_EQ(Snapshot::of(m), picked);
    history.undo(m);
    EXPECT_EQ(m.inputText, "Q");
    history.undo(m);
    EXPECT_EQ(positions(m), "AAAAA");
    EXPECT_EQ(m.inputText, "");
    EXPECT_FALSE(history.canUndo(m));
    EXPECT_EQ(history.redoDepth(m), 4u);
}

TEST_F(History, NothingIsRecordedOrTakenBackWithoutAnAcceptedSetting) {
    m.discReady = 0;
    type("HA");
    history.runAutomatic(m, "Hallo");
    EXPECT_FALSE(history.canUndo(m));
    EXPECT_EQ(m.inputText, "");
}

TEST_F(History, TextsChangedBehindItsBackEndTheHistory) {
    type("HAL");
    history.clear();
    EXPECT_FALSE(history.canUndo(m));
    type("LO");
    m.inputText.clear(); // without clear(): the history no longer fits the texts
    m.outputText.clear();
    EXPECT_FALSE(history.undo(m));
    type("H");
    EXPECT_EQ(history.undoDepth(m), 1u);
}

TEST_F(History, AKeyThatFailsEndsTheHistory) {
    type("HA");
    m.key.discSetting[3] = 7; // a disc number no set-up accepts: the step stops
    EXPECT_THROW(history.pressKey(m, 1, 'I'), RangeError);
    EXPECT_FALSE(history.canUndo(m));
}

// A bounded history drops its oldest steps; what it keeps still takes the machine back exactly.
TEST_F(History, ABoundedHistoryDropsItsOldestStepsAndTakesTheRestBackExactly) {
    KeyHistory small(1024);
    const std::string keys(200, 'Q');
    std::vector<Snapshot> before;
    for (const char c : keys) {
        before.push_back(Snapshot::of(m));
        small.pressKey(m, keyIndexOf(c), c);
        ASSERT_LE(small.heldBytes(), 1024u);
    }
    const std::size_t kept = small.undoDepth(m);
    EXPECT_GT(kept, 10u);
    EXPECT_LT(kept, keys.size());
    while (small.undo(m)) {
    }
    EXPECT_EQ(Snapshot::of(m), before[keys.size() - kept]);

    // A run whose replaced texts alone outgrow the budget cannot be taken back.
    for (int i = 0; i < 600; ++i)
        small.pressKey(m, keyIndexOf('H'), 'H');
    setPositions(m, "AAAAA");
    small.runAutomatic(m, "Hallo alle");
    EXPECT_EQ(m.outputText, "5M5QHAI6Y4") << describe(m);
    EXPECT_FALSE(small.canUndo(m));
    EXPECT_LE(small.heldBytes(), 1024u);
}

// The traces the history gives are those the keys had when they ran, for typed keys and for the
// keys of a run of "Automatic".
TEST_F(History, TracesOfItsKeysAreThoseTheKeysHad) {
    std::string expected;
    MachineState live = m;
    for (const char c : std::string("HALLO_ALLE")) {
        enterKey(live, keyIndexOf(c), c);
        appendTraceCsv(expected, live.inputText.size(), c, traceRotation(live));
    }
    const auto csv = [this](const std::vector<KeyAt>& keys) {
        std::string lines;
        for (const KeyAt& k : keys)
            appendTraceCsv(lines, k.number, k.letter, traceKey(m, k));
        return lines;
    };

    history.runAutomatic(m, "HALLO ALLE");
    EXPECT_EQ(csv(history.lastKeys(m, 1000)), expected);

    // Typed keys after the run, and a mode change: each key keeps its own mode.
    m.mode = Mode::Decipher;
    setPositions(m, "Q7ZN2");
    type("Y");
    const auto keys = history.lastKeys(m, 2);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[1].mode, Mode::Decipher);
    EXPECT_EQ(csv({keys[0]}), expected.substr(expected.rfind("10,E")));
    EXPECT_EQ(csv({keys[1]}).substr(0, 14), "11,Y,27,Q7ZN2,");
    EXPECT_EQ(traceKey(m, keys[1]).mode, Mode::Decipher);
    EXPECT_EQ(history.lastKeys(m, 1000).size(), 11u);
}

} // namespace
} // namespace zelmak
