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
    Byte cardReady, discReady;
    bool cipher;
    std::map<Control, bool> enabled;

    static Snapshot of(const MachineState& m, const FakeWindow& w) {
        return {m.keyLetter,
                m.inputText,
                m.outputText,
                test::positions(m),
                w.paneText(Pane::Input),
                w.paneText(Pane::Output),
                w.paneText(Pane::Loaded),
                m.keyIndex,
                m.workIndex,
                m.cardReady,
                m.discReady,
                m.cipher(),
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
    FakeWindow w;
    setUp(m, w);
    typeKeys(m, w, "HAL");
    m.cardReady = GetParam().cardReady;
    m.discReady = GetParam().discReady;
    const Snapshot before = Snapshot::of(m, w);
    for (int k = 1; k <= 31; ++k)
        pressKey(m, w, k, keySymbol(k));
    pressKey(m, w, kWordSpaceIndex, '_');
    EXPECT_TRUE(Snapshot::of(m, w) == before) << describe(m);
}

INSTANTIATE_TEST_SUITE_P(Flags, KeyGate,
                         ::testing::Values(GateRow{"both_zero", 0, 0}, GateRow{"card_only", 1, 0},
                                           GateRow{"discs_only", 0, 1}, GateRow{"card_two", 2, 1},
                                           GateRow{"discs_two", 1, 2},
                                           GateRow{"both_255", 255, 255}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(Keyboard, SpaceBarEntersUnderscoreAndIndex27) {
    MachineState m;
    FakeWindow w;
    setUp(m, w);
    pressKey(m, w, kWordSpaceIndex, '_');
    EXPECT_EQ(m.keyLetter, "_");
    EXPECT_EQ(m.keyIndex, 27);
    EXPECT_EQ(m.inputText, "_");
}

TEST(Keyboard, YKeyInDecipherModeEntersYAndIndex27) {
    MachineState m;
    FakeWindow w;
    setUp(m, w);
    m.mode = Mode::Decipher;
    pressKey(m, w, kWordSpaceIndex, 'Y');
    EXPECT_EQ(m.keyLetter, "Y");
    EXPECT_EQ(m.keyIndex, 27);
    EXPECT_EQ(m.inputText, "Y");
    EXPECT_EQ(m.outputText.size(), 1u);
}

TEST(Keyboard, ModeButtonsSetTheModeAndSwapTheTwoKeysOfIndex27) {
    MachineState m;
    FakeWindow w;
    selectDecipher(m, w);
    EXPECT_EQ(m.mode, Mode::Decipher);
    EXPECT_FALSE(w.enabled(Control::SpaceBar));
    EXPECT_TRUE(w.enabled(Control::YKey));
    for (int i = 0; i < 2; ++i) {
        selectCipher(m, w);
        EXPECT_EQ(m.mode, Mode::Cipher);
        EXPECT_TRUE(w.enabled(Control::SpaceBar));
        EXPECT_FALSE(w.enabled(Control::YKey));
    }
}

TEST(Keyboard, SwitchingTheModeKeepsTextsAndDiscsAndTheNextKeyUsesTheNewMode) {
    MachineState m;
    FakeWindow w;
    setUp(m, w);
    typeKeys(m, w, "HALLO");
    const std::string where = positions(m);
    selectDecipher(m, w);
    EXPECT_EQ(m.outputText, "5M5QH");
    EXPECT_EQ(positions(m), where);
    // From HTSAA the worked example's sixth cipher symbol "A" deciphers to the word space.
    EXPECT_EQ(typeKeys(m, w, "A"), "_") << describe(m);
    EXPECT_EQ(m.inputText, "HALLOA");
}

TEST(Keyboard, ClearAllEmptiesTheTextsAndThePanesAndNothingElse) {
    MachineState m;
    FakeWindow w;
    setUp(m, w);
    typeKeys(m, w, "HALLO");
    w.text(Pane::Loaded) = "loaded\r\ntext";
    selectDecipher(m, w);
    Snapshot expected = Snapshot::of(m, w);
    expected.inputText.clear();
    expected.outputText.clear();
    expected.eingabe.clear();
    expected.ausgabe.clear();
    expected.lade.clear();

    clearAll(m, w);
    EXPECT_TRUE(Snapshot::of(m, w) == expected) << describe(m);

    // The next key starts new texts from where the discs stand.
    typeKeys(m, w, "A");
    EXPECT_EQ(w.paneText(Pane::Input), "A");
    EXPECT_EQ(w.paneText(Pane::Output), "_");
}

// Records each pane shown, with the output text the machine held at that moment.
class RecordingWindow : public FakeWindow {
public:
    explicit RecordingWindow(const MachineState& m) : m_machine(m) {}
    void showText(Pane pane, std::string_view text) override {
        shown.push_back({pane, std::string(text), m_machine.outputText});
        FakeWindow::showText(pane, text);
    }
    struct Shown {
        Pane pane;
        std::string text;
        std::string outputTextThen;
    };
    std::vector<Shown> shown;

private:
    const MachineState& m_machine;
};

TEST(TextIO, ShowsTheInputBeforeTheStepAndTheOutputAfterIt) {
    MachineState m;
    RecordingWindow w(m);
    setUp(m, w);
    typeKeys(m, w, "HA");
    w.shown.clear();
    typeKeys(m, w, "L");
    ASSERT_EQ(w.shown.size(), 2u);
    EXPECT_EQ(w.shown[0].pane, Pane::Input);
    EXPECT_EQ(w.shown[0].text, "HAL");
    EXPECT_EQ(w.shown[0].outputTextThen, "5M");
    EXPECT_EQ(w.shown[1].pane, Pane::Output);
    EXPECT_EQ(w.shown[1].text, "5M5");
}

TEST(TextIO, PanesHoldExactlyTheWholeTextsWithNoLineBreak) {
    MachineState m;
    FakeWindow w;
    setUp(m, w);
    w.text(Pane::Input) = "Input\r\n";
    w.text(Pane::Output) = "Output\r\n";
    const std::string clear = "HALLO_ALLE";
    std::string typed;
    for (int round = 0; round < 50; ++round) {
        typeKeys(m, w, clear);
        typed += clear;
        ASSERT_EQ(w.paneText(Pane::Input), typed);
        ASSERT_EQ(w.paneText(Pane::Output), m.outputText);
        ASSERT_EQ(m.outputText.size(), typed.size());
    }
    EXPECT_EQ(m.outputText.substr(0, 10), "5M5QHAI6Y4");
    EXPECT_EQ(m.outputText.find_first_of("\r\n"), std::string::npos);
}

TEST(TextIO, RunKeyLeavesThePanesForOneShowAtTheEnd) {
    MachineState m;
    FakeWindow w;
    setUp(m, w);
    w.text(Pane::Input) = "Input\r\n";
    w.text(Pane::Output) = "Output\r\n";
    for (const char c : std::string("HALLO")) {
        enterKey(m, test::keyIndexOf(c), c);
        runKey(m);
    }
    EXPECT_EQ(w.paneText(Pane::Input), "Input\r\n");
    EXPECT_EQ(w.paneText(Pane::Output), "Output\r\n");
    EXPECT_EQ(m.outputText, "5M5QH");
    showTexts(m, w);
    EXPECT_EQ(w.paneText(Pane::Input), "HALLO");
    EXPECT_EQ(w.paneText(Pane::Output), "5M5QH");
}

} // namespace
} // namespace zelmak
