// "Automatic": the loaded-text pane keyed through the machine from the discs' positions, in the
// mode selected, as the keys would key it.

#include "files/text_files.h"
#include "machine/key_alphabet.h"
#include "session_steps.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace zelmak::test {
namespace {

std::string positions(const SessionRig& rig) {
    std::string p;
    for (int s = 1; s <= 5; ++s)
        p += positionSymbol(rig.machine().positions[s]);
    return p;
}

void setPositions(SessionRig& rig, const std::string& symbols) {
    for (int s = 1; s <= 5; ++s)
        rig.session.pickPosition(s, *symbolIndex(symbols[static_cast<std::size_t>(s - 1)]) - 1);
}

void run(SessionRig& rig, const std::string& text) {
    typeInto(rig, Pane::Loaded, text);
    rig.view.paneWrites = {};
    rig.session.automatic();
}

struct UnacceptedRow {
    const char* name;
    std::function<void(SessionRig&)> steps;
};

void PrintTo(const UnacceptedRow& row, std::ostream* os) {
    *os << row.name;
}

class AutomaticWithoutAcceptance : public ::testing::TestWithParam<UnacceptedRow> {};

TEST_P(AutomaticWithoutAcceptance, does_nothing_at_all) {
    SessionRig rig;
    rig.type("IN");
    GetParam().steps(rig);
    typeInto(rig, Pane::Loaded, "HALLO");
    const Snapshot before = snapshotOf(rig);
    rig.session.automatic();
    EXPECT_EQ(snapshotOf(rig), before);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, AutomaticWithoutAcceptance,
    ::testing::Values(
        UnacceptedRow{"card_rejected", [](SessionRig& r) { r.session.pickCard(1, 2); }},
        UnacceptedRow{"discs_rejected", [](SessionRig& r) { r.session.pickDisc(1, 1); }},
        UnacceptedRow{"random_setting_unchecked",
                      [](SessionRig& r) { drawSetting(r, recordOf(reversedRecordBytes())); }}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Automatic, an_empty_text_only_empties_the_texts_and_their_panes) {
    SessionRig rig;
    rig.type("IN");
    setPositions(rig, "AAAAA");
    run(rig, "");
    EXPECT_EQ(rig.machine().inputText, "");
    EXPECT_EQ(rig.machine().outputText, "");
    EXPECT_EQ(rig.pane(Pane::Input), "");
    EXPECT_EQ(rig.pane(Pane::Output), "");
    EXPECT_EQ(positions(rig), "AAAAA");
}

// Whatever a run keys, typing the same keys from the same start gives the same.
struct FeedRow {
    const char* name;
    std::string text;
    std::string keys; // the keys typed instead; "_" is the space bar
};

void PrintTo(const FeedRow& row, std::ostream* os) {
    *os << row.name;
}

class AutomaticFeed : public ::testing::TestWithParam<FeedRow> {};

TEST_P(AutomaticFeed, keys_like_the_keyboard_in_both_modes) {
    const FeedRow& row = GetParam();
    for (const bool cipher : {true, false}) {
        SessionRig a, typed;
        for (SessionRig* rig : {&a, &typed}) {
            if (!cipher)
                rig->session.selectDecipher();
            setPositions(*rig, "Q9A2N");
        }
        run(a, row.text);
        typed.type(row.keys);

        EXPECT_EQ(a.machine().inputText, row.keys);
        EXPECT_EQ(a.machine().outputText, typed.machine().outputText) << cipher;
        EXPECT_EQ(a.machine().keyIndex, typed.machine().keyIndex);
        EXPECT_EQ(positions(a), positions(typed));
        // Each pane is shown once, at the end of the run, with its whole text.
        EXPECT_EQ(a.view.paneWrites, (std::array<int, kPaneCount>{1, 1, 0}));
        EXPECT_EQ(a.pane(Pane::Input), a.machine().inputText);
        EXPECT_EQ(a.pane(Pane::Output), a.machine().outputText);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AutomaticFeed,
    ::testing::Values(FeedRow{"OneCharacter", "a", "A"}, FeedRow{"LowerASpaceLowerB", "a b", "A_B"},
                      FeedRow{"UpperCaseTheSame", "A B", "A_B"}, FeedRow{"YIsTheYKey", "yY", "YY"},
                      FeedRow{"UnderscoreIsTheSpaceBar", "_", "_"},
                      FeedRow{"CharactersWithoutAKeyAreSkipped", "I1\r\nJ\tW0X,2\xe4", "I2"},
                      FeedRow{"WholeAlphabet", "I23456789QERTZUOPASDFGHMKLYCVBN",
                              "I23456789QERTZUOPASDFGHMKLYCVBN"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Automatic, a_second_run_starts_where_the_first_ended) {
    SessionRig a;
    run(a, "HALLO WELT");
    const std::string first = a.machine().outputText;
    const std::string afterFirst = positions(a);
    run(a, "HALLO WELT");
    EXPECT_NE(a.machine().outputText, first);

    SessionRig b;
    setPositions(b, afterFirst);
    run(b, "HALLO WELT");
    EXPECT_EQ(b.machine().outputText, a.machine().outputText);
}

TEST(Automatic, a_failed_step_shows_what_was_done_and_goes_to_the_error_box) {
    SessionRig rig;
    // A card entry no check would pass sends the fourth character (D) off the tables.
    const_cast<MachineState&>(rig.machine()).cardTable[20] = 255;
    run(rig, "ABCDEFGH");
    EXPECT_EQ(rig.view.errors, std::vector<std::string>{"Bereichsüberschreitung."});
    EXPECT_EQ(rig.machine().inputText, "ABCD");
    EXPECT_EQ(rig.machine().outputText.size(), 3u);
    EXPECT_EQ(rig.pane(Pane::Input), "ABCD");
    EXPECT_EQ(rig.pane(Pane::Output), rig.machine().outputText);
}

// Encipher a loaded file, save the cipher text, load it and decipher it from the same start.
TEST(Automatic, a_file_round_trip_gives_back_the_keyed_text) {
    TempDir dir;
    SessionRig rig;
    drawSetting(rig, recordOf(reversedRecordBytes()));
    rig.session.checkCipher();
    ASSERT_TRUE(rig.machine().ready());

    writeFile(dir.file("clear.txt"), "Hallo Welt,\nyes: 2 Boote\r\nam 9. Mai");
    rig.view.openAnswers.push_back(dir.file("clear.txt"));
    rig.session.loadCipherCode();
    setPositions(rig, "3KZ9B");
    rig.session.automatic();
    const std::string keyed = rig.machine().inputText;
    ASSERT_EQ(keyed, "HALLO_ELTYES_2_BOOTEAM_9_MAI");
    rig.view.saveAnswers.push_back(dir.file("secret"));
    rig.session.saveCipherCode();

    rig.session.selectDecipher();
    setPositions(rig, "3KZ9B");
    rig.view.openAnswers.push_back(dir.file("secret.cif"));
    rig.session.loadCipherCode();
    rig.session.automatic();
    // The word space and the clear text's Y are both index 27, which deciphers to "_".
    std::string expected = keyed;
    std::replace(expected.begin(), expected.end(), 'Y', '_');
    EXPECT_EQ(rig.machine().outputText, expected);
    EXPECT_TRUE(rig.view.errors.empty());
}

} // namespace
} // namespace zelmak::test
