#include "file_test_util.h"
#include "files/text_files.h"
#include "machine/key_alphabet.h"
#include "machine/machine.h"
#include "machine/text_feed.h"
#include "settings/random_setting.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

namespace zelmak {
namespace {

using test::snapshot;

// A window that counts what the run asks of its panes, and can make the cipher step fail at a
// chosen step (its mode is read once per step).
class CountingWindow : public FakeWindow {
public:
    void showText(Pane pane, std::string_view text) override {
        ++shows[static_cast<std::size_t>(pane)];
        FakeWindow::showText(pane, text);
    }
    std::string paneText(Pane pane) const override {
        ++reads[static_cast<std::size_t>(pane)];
        return FakeWindow::paneText(pane);
    }

    std::array<int, 3> shows{};
    mutable std::array<int, 3> reads{};
};

struct Machine {
    MachineState m;
    CountingWindow w;
    Machine() { serviceSetting(m, w, w); }

    std::string positions() const {
        std::string p;
        for (int s = 1; s <= 5; ++s)
            p += positionSymbol(m.positions[s]);
        return p;
    }
    void setPositions(const std::string& symbols) {
        for (int s = 1; s <= 5; ++s)
            m.setPosition(s, *symbolIndex(symbols[static_cast<std::size_t>(s - 1)]) - 1);
    }
    void run(const std::string& lade) {
        w.showText(Pane::Loaded, lade);
        w.shows = {};
        w.reads = {};
        runAutomatic(m, w);
    }
};

TEST(Automatic, DoesNothingAtAllUnlessBothFlagsAreOne) {
    for (const auto& flags : {std::pair<Byte, Byte>{0, 1}, {1, 0}, {0, 0}}) {
        Machine a;
        a.m.inputText = "IN";
        a.m.outputText = "OUT";
        a.w.showText(Pane::Loaded, "HALLO");
        a.m.cardReady = flags.first;
        a.m.discReady = flags.second;
        const auto before = snapshot(a.m, a.w);
        runAutomatic(a.m, a.w);
        EXPECT_EQ(snapshot(a.m, a.w), before) << int(flags.first) << int(flags.second);
    }
}

TEST(Automatic, EmptyLadeOnlyEmptiesTextsAndPanes) {
    Machine a;
    a.m.inputText = "IN";
    a.m.outputText = "OUT";
    a.run("");
    EXPECT_EQ(a.m.inputText, "");
    EXPECT_EQ(a.m.outputText, "");
    EXPECT_EQ(a.w.paneText(Pane::Input), "");
    EXPECT_EQ(a.w.paneText(Pane::Output), "");
    EXPECT_EQ(a.positions(), "AAAAA");
}

TEST(Automatic, OneCharacterIsProcessedLikeAnyOther) {
    Machine a;
    a.run("a");
    EXPECT_EQ(a.m.inputText, "A");
    EXPECT_EQ(a.m.outputText.size(), 1u);
    EXPECT_EQ(a.m.keyIndex, 18);
    EXPECT_NE(a.positions(), "AAAAA");
}

// Whatever a run keys, typing the same keys from the same start gives the same.
struct FeedRow {
    const char* name;
    std::string lade;
    std::string input;                      // InputText afterwards
    std::vector<std::pair<int, char>> keys; // what the keyboard would press
};

void PrintTo(const FeedRow& row, std::ostream* os) {
    *os << row.name;
}

class AutomaticFeed : public ::testing::TestWithParam<FeedRow> {};

TEST_P(AutomaticFeed, KeysLikeTheKeyboard) {
    const FeedRow& row = GetParam();
    for (const bool cipher : {true, false}) {
        Machine a;
        a.m.mode = cipher ? Mode::Cipher : Mode::Decipher;
        a.setPositions("Q9A2N");
        a.run(row.lade);

        Machine typed;
        typed.m.mode = cipher ? Mode::Cipher : Mode::Decipher;
        typed.setPositions("Q9A2N");
        for (const auto& [index, letter] : row.keys)
            pressKey(typed.m, typed.w, index, letter);

        EXPECT_EQ(a.m.inputText, row.input);
        EXPECT_EQ(a.m.outputText, typed.m.outputText) << (cipher ? "cipher" : "decipher");
        EXPECT_EQ(a.m.keyIndex, row.keys.back().first);
        EXPECT_EQ(a.positions(), typed.positions());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AutomaticFeed,
    ::testing::Values(
        FeedRow{"LowerASpaceLowerB", "a b", "A_B", {{18, 'A'}, {27, '_'}, {30, 'B'}}},
        FeedRow{"UpperCaseTheSame", "A B", "A_B", {{18, 'A'}, {27, '_'}, {30, 'B'}}},
        FeedRow{"YIsTheYKey", "yY", "YY", {{27, 'Y'}, {27, 'Y'}}},
        FeedRow{"UnderscoreIsTheSpaceBar", "_", "_", {{27, '_'}}},
        FeedRow{
            "CharactersWithoutAKeyAreSkipped", "I1\r\nJ\tW0X,2\xe4", "I2", {{1, 'I'}, {2, '2'}}},
        FeedRow{"WholeAlphabet",
                "I23456789QERTZUOPASDFGHMKLYCVBN",
                "I23456789QERTZUOPASDFGHMKLYCVBN",
                {{1, 'I'},  {2, '2'},  {3, '3'},  {4, '4'},  {5, '5'},  {6, '6'},  {7, '7'},
                 {8, '8'},  {9, '9'},  {10, 'Q'}, {11, 'E'}, {12, 'R'}, {13, 'T'}, {14, 'Z'},
                 {15, 'U'}, {16, 'O'}, {17, 'P'}, {18, 'A'}, {19, 'S'}, {20, 'D'}, {21, 'F'},
                 {22, 'G'}, {23, 'H'}, {24, 'M'}, {25, 'K'}, {26, 'L'}, {27, 'Y'}, {28, 'C'},
                 {29, 'V'}, {30, 'B'}, {31, 'N'}}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Automatic, SecondRunStartsWhereTheFirstEnded) {
    Machine a;
    a.run("HALLO WELT");
    const std::string first = a.m.outputText;
    const std::string afterFirst = a.positions();
    a.run("HALLO WELT");
    EXPECT_NE(a.m.outputText, first);

    Machine b;
    b.setPositions(afterFirst);
    b.run("HALLO WELT");
    EXPECT_EQ(b.m.outputText, a.m.outputText);
}

TEST(Automatic, ShowsBothPanesOnceAndReadsLadeOnce) {
    Machine a;
    a.run(std::string(10000, 'K'));
    EXPECT_EQ(a.w.shows[static_cast<std::size_t>(Pane::Input)], 1);
    EXPECT_EQ(a.w.shows[static_cast<std::size_t>(Pane::Output)], 1);
    EXPECT_EQ(a.w.reads[static_cast<std::size_t>(Pane::Loaded)], 1);
    EXPECT_EQ(a.w.paneText(Pane::Input), a.m.inputText);
    EXPECT_EQ(a.w.paneText(Pane::Output), a.m.outputText);
    EXPECT_EQ(a.m.outputText.size(), 10000u);
}

TEST(Automatic, FailedStepStillShowsWhatWasDoneAndPassesTheErrorOn) {
    Machine a;
    a.w.showText(Pane::Loaded, "ABCDEFGH");
    // A card entry no check would pass sends the fourth character (D) off the tables.
    a.m.cardTable[20] = 255;
    EXPECT_THROW(runAutomatic(a.m, a.w), RangeError);
    EXPECT_EQ(a.m.inputText, "ABCD");
    EXPECT_EQ(a.m.outputText.size(), 3u);
    EXPECT_EQ(a.w.paneText(Pane::Input), "ABCD");
    EXPECT_EQ(a.w.paneText(Pane::Output), a.m.outputText);
}

// Encipher a loaded file, save the cipher text, load it and decipher it from the same start.
TEST(Automatic, FileRoundTripGivesBackTheKeyedText) {
    test::TempDir dir;
    Machine a;
    SystemRandomSource source;
    randomSetting(a.m, a.w, a.w, source);
    checkSetting(a.m, a.w, a.w);
    ASSERT_TRUE(a.m.ready());

    test::writeFile(dir.file("clear.txt"), "Hallo Welt,\nyes: 2 Boote\r\nam 9. Mai");
    a.w.openAnswers.push_back(dir.file("clear.txt"));
    loadCipherCode(a.m, a.w, a.w);
    a.setPositions("3KZ9B");
    runAutomatic(a.m, a.w);
    const std::string keyed = a.m.inputText;
    ASSERT_EQ(keyed, "HALLO_ELTYES_2_BOOTEAM_9_MAI");
    a.w.saveAnswers.push_back(dir.file("secret"));
    saveCipherCode(a.m, a.w, a.w);

    a.m.mode = Mode::Decipher;
    a.setPositions("3KZ9B");
    a.w.openAnswers.push_back(dir.file("secret.cif"));
    loadCipherCode(a.m, a.w, a.w);
    EXPECT_EQ(a.w.paneText(Pane::Loaded).size(), keyed.size());
    runAutomatic(a.m, a.w);
    // The word space and the clear text's Y are both index 27, which deciphers to "_".
    std::string expected = keyed;
    std::replace(expected.begin(), expected.end(), 'Y', '_');
    EXPECT_EQ(a.m.outputText, expected);
}

} // namespace
} // namespace zelmak
