#include "machine_test_util.h"

#include <gtest/gtest.h>

#include <vector>

namespace zelmak {
namespace {

using test::describe;
using test::positions;
using test::setUp;
using test::typeKeys;

// Everything a key could change, taken whole so that "nothing changed" can be compared.
struct Snapshot {
    std::string keyLetter, inputText, outputText, positions, eingabe, ausgabe, lade;
    std::int32_t keyIndex, workIndex;
    Table<char, 1, 31> outputAlphabet;
    Byte cardReady, discReady;
    bool cipher;
    std::map<Control, bool> enabled;

    static Snapshot of(const MachineState& m, const PlainWindow& w) {
        return {m.keyLetter,
                m.inputText,
                m.outputText,
                test::positions(w),
                w.paneText(Pane::Eingabe),
                w.paneText(Pane::Ausgabe),
                w.paneText(Pane::Lade),
                m.keyIndex,
                m.workIndex,
                m.outputAlphabet,
                m.cardReady,
                m.discReady,
                w.cipher,
                w.enabledState};
    }
    bool operator==(const Snapshot&) const = default;
};

struct GateRow {
    const char* name;
    Byte cardReady;
    Byte discReady;
};

void PrintTo(const GateRow& row, std::ostream* os) {
    *os << row.name;
}

class KeyGate : public ::testing::TestWithParam<GateRow> {};

TEST_P(KeyGate, AKeyDoesNothingUnlessBothFlagsAreExactlyOne) {
    MachineState m;
    PlainWindow w;
    setUp(m, w);
    typeKeys(m, w, "HAL");
    m.cardReady = GetParam().cardReady;
    m.discReady = GetParam().discReady;
    const Snapshot before = Snapshot::of(m, w);
    for (int k = 1; k <= 31; ++k)
        pressKey(m, w, k, keySymbol(k));
    pressKey(m, w, kWordSpaceIndex, '_');
    EXPECT_TRUE(Snapshot::of(m, w) == before) << describe(m, w);
}

INSTANTIATE_TEST_SUITE_P(Flags, KeyGate,
                         ::testing::Values(GateRow{"both_zero", 0, 0}, GateRow{"card_only", 1, 0},
                                           GateRow{"discs_only", 0, 1}, GateRow{"card_two", 2, 1},
                                           GateRow{"discs_two", 1, 2},
                                           GateRow{"both_255", 255, 255}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(Keyboard, SpaceBarEntersUnderscoreAndIndex27) {
    MachineState m;
    PlainWindow w;
    setUp(m, w);
    pressKey(m, w, kWordSpaceIndex, '_');
    EXPECT_EQ(m.keyLetter, "_");
    EXPECT_EQ(m.keyIndex, 27);
    EXPECT_EQ(m.inputText, "_");
}

TEST(Keyboard, YKeyInDecipherModeEntersYAndIndex27) {
    MachineState m;
    PlainWindow w;
    setUp(m, w);
    w.cipher = false;
    pressKey(m, w, kWordSpaceIndex, 'Y');
    EXPECT_EQ(m.keyLetter, "Y");
    EXPECT_EQ(m.keyIndex, 27);
    EXPECT_EQ(m.inputText, "Y");
    EXPECT_EQ(m.outputText.size(), 1u);
}

TEST(Keyboard, ModeButtonsSwapTheTwoKeysOfIndex27) {
    PlainWindow w;
    selectDecipher(w);
    EXPECT_FALSE(w.enabled(Control::Button32));
    EXPECT_TRUE(w.enabled(Control::Button34));
    selectCipher(w);
    EXPECT_TRUE(w.enabled(Control::Button32));
    EXPECT_FALSE(w.enabled(Control::Button34));
    selectCipher(w);
    EXPECT_TRUE(w.enabled(Control::Button32));
    EXPECT_FALSE(w.enabled(Control::Button34));
}

TEST(Keyboard, SwitchingTheModeKeepsTextsAndDiscsAndTheNextKeyUsesTheNewMode) {
    MachineState m;
    PlainWindow w;
    setUp(m, w);
    typeKeys(m, w, "HALLO");
    const std::string where = positions(w);
    w.cipher = false;
    selectDecipher(w);
    EXPECT_EQ(m.outputText, "5M5QH");
    EXPECT_EQ(positions(w), where);
    // From HTSAA the worked example's sixth cipher symbol "A" deciphers to the word space.
    EXPECT_EQ(typeKeys(m, w, "A"), "_") << describe(m, w);
    EXPECT_EQ(m.inputText, "HALLOA");
}

TEST(Keyboard, ClearAllEmptiesTheTextsAndThePanesAndNothingElse) {
    MachineState m;
    PlainWindow w;
    setUp(m, w);
    typeKeys(m, w, "HALLO");
    w.text(Pane::Lade) = "loaded\r\ntext";
    w.cipher = false;
    selectDecipher(w);
    Snapshot expected = Snapshot::of(m, w);
    expected.inputText.clear();
    expected.outputText.clear();
    expected.eingabe.clear();
    expected.ausgabe.clear();
    expected.lade.clear();

    clearAll(m, w);
    EXPECT_TRUE(Snapshot::of(m, w) == expected) << describe(m, w);

    // The next key starts new texts from where the discs stand.
    typeKeys(m, w, "A");
    EXPECT_EQ(w.paneText(Pane::Eingabe), "A");
    EXPECT_EQ(w.paneText(Pane::Ausgabe), "_");
}

// Records what the panes hold whenever the cipher step moves a disc.
class RecordingWindow : public PlainWindow {
public:
    void setPosition(int s, int item) override {
        panesSeenByStep.push_back({paneText(Pane::Eingabe), paneText(Pane::Ausgabe)});
        PlainWindow::setPosition(s, item);
    }
    std::vector<std::pair<std::string, std::string>> panesSeenByStep;
};

TEST(TextIO, ShowsTheInputBeforeTheStepAndTheOutputAfterIt) {
    MachineState m;
    RecordingWindow w;
    setUp(m, w);
    typeKeys(m, w, "HA");
    w.panesSeenByStep.clear();
    typeKeys(m, w, "L");
    ASSERT_FALSE(w.panesSeenByStep.empty());
    EXPECT_EQ(w.panesSeenByStep.front().first, "HAL");
    EXPECT_EQ(w.panesSeenByStep.front().second, "5M");
    EXPECT_EQ(w.paneText(Pane::Ausgabe), "5M5");
}

TEST(TextIO, PanesHoldExactlyTheWholeTextsWithNoLineBreak) {
    MachineState m;
    PlainWindow w;
    setUp(m, w);
    w.text(Pane::Eingabe) = "Input\r\n";
    w.text(Pane::Ausgabe) = "Output\r\n";
    const std::string clear = "HALLO_ALLE";
    std::string typed;
    for (int round = 0; round < 50; ++round) {
        typeKeys(m, w, clear);
        typed += clear;
        ASSERT_EQ(w.paneText(Pane::Eingabe), typed);
        ASSERT_EQ(w.paneText(Pane::Ausgabe), m.outputText);
        ASSERT_EQ(m.outputText.size(), typed.size());
    }
    EXPECT_EQ(m.outputText.substr(0, 10), "5M5QHAI6Y4");
    EXPECT_EQ(m.outputText.find_first_of("\r\n"), std::string::npos);
}

TEST(TextIO, DeferredRefreshLeavesThePanesForOneShowAtTheEnd) {
    MachineState m;
    PlainWindow w;
    setUp(m, w);
    w.text(Pane::Eingabe) = "Input\r\n";
    w.text(Pane::Ausgabe) = "Output\r\n";
    for (const char c : std::string("HALLO")) {
        m.keyIndex = test::keyIndexOf(c);
        m.inputText.push_back(c);
        TextIO(m, w, PaneRefresh::Deferred);
    }
    EXPECT_EQ(w.paneText(Pane::Eingabe), "Input\r\n");
    EXPECT_EQ(w.paneText(Pane::Ausgabe), "Output\r\n");
    EXPECT_EQ(m.outputText, "5M5QH");
    showTexts(m, w);
    EXPECT_EQ(w.paneText(Pane::Eingabe), "HALLO");
    EXPECT_EQ(w.paneText(Pane::Ausgabe), "5M5QH");
}

} // namespace
} // namespace zelmak
