#include "fake_window.h"
#include "machine/key_alphabet.h"
#include "machine/machine.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace zelmak {
namespace {

using Card = std::array<int, 31>;
using Discs = std::array<int, 5>;

// The six controls the check enables only for an accepted setting, in its order.
constexpr std::array<Control, 6> kGuarded{Control::SaveCipher,     Control::InputPane,
                                          Control::OutputPane,     Control::SaveCipherCode,
                                          Control::LoadCipherCode, Control::Automatic};

Card identity() {
    Card c{};
    for (int k = 1; k <= 31; ++k)
        c[static_cast<std::size_t>(k - 1)] = k;
    return c;
}

Card reversed() {
    Card c{};
    for (int k = 1; k <= 31; ++k)
        c[static_cast<std::size_t>(k - 1)] = 32 - k;
    return c;
}

Card with(Card c, int k, int item) {
    c[static_cast<std::size_t>(k - 1)] = item;
    return c;
}

void show(FakeWindow& w, const Card& card, const Discs& discs) {
    for (int k = 1; k <= 31; ++k)
        w.setCardItem(k, card[static_cast<std::size_t>(k - 1)]);
    for (int s = 1; s <= 5; ++s)
        w.setDiscItem(s, discs[static_cast<std::size_t>(s - 1)]);
}

std::string positions(const MachineState& m) {
    std::string out;
    for (int s = 1; s <= 5; ++s)
        out += m.positions[s] >= 0 ? positionSymbol(m.positions[s]) : '?';
    return out;
}

void typeKeys(MachineState& m, Display& w, std::string_view symbols) {
    for (const char c : symbols)
        pressKey(m, w, c == '_' ? 27 : symbolIndex(c).value_or(0), c);
}

// A window that has been through the service setting and some typing: every guarded control
// enabled, the discs moved away from "A", both texts and panes filled.
struct Accepted {
    Accepted() {
        serviceSetting(m, w, w);
        typeKeys(m, w, "HALLO");
        for (int s = 1; s <= 5; ++s)
            m.setPosition(s, s + 2);
        w.text(Pane::Loaded) = "loaded";
    }
    MachineState m;
    FakeWindow w;
};

struct CheckRow {
    const char* name;
    Card card;
    Discs discs;
    const char* ausgabe;
    Byte cardReady;
    Byte discReady;
    int errorCount;
    bool initRuns;
    bool initFails; // Init stops with the range error at a blank disc-number selector
};

void PrintTo(const CheckRow& row, std::ostream* os) {
    *os << row.name;
}

class SettingCheck : public ::testing::TestWithParam<CheckRow> {};

TEST_P(SettingCheck, ReportsSetsFlagsEnablesAndRunsInit) {
    const CheckRow& row = GetParam();
    Accepted a;
    const std::string positionsBefore = positions(a.m);
    const auto keyBefore = a.m.key;
    show(a.w, row.card, row.discs);

    if (row.initFails)
        EXPECT_THROW(checkSetting(a.m, a.w, a.w), RangeError);
    else
        EXPECT_NO_THROW(checkSetting(a.m, a.w, a.w));

    EXPECT_EQ(a.w.paneText(Pane::Output), row.ausgabe);
    EXPECT_EQ(a.w.paneText(Pane::Input), "");
    EXPECT_EQ(a.m.cardReady, row.cardReady);
    EXPECT_EQ(a.m.discReady, row.discReady);
    EXPECT_EQ(a.m.cardErrorCount, row.errorCount);
    for (const Control c : kGuarded)
        EXPECT_EQ(a.w.enabled(c), row.cardReady == 1 && row.discReady == 1)
            << "control " << static_cast<int>(c);
    for (int k = 1; k <= 31; ++k)
        EXPECT_EQ(a.m.cardTable[k], row.card[static_cast<std::size_t>(k - 1)]);

    if (row.initRuns && !row.initFails) {
        EXPECT_EQ(positions(a.m), "AAAAA");
        for (int k = 1; k <= 31; ++k)
            EXPECT_EQ(a.m.key.cardSetting[k], row.card[static_cast<std::size_t>(k - 1)]);
        for (int s = 1; s <= 5; ++s)
            EXPECT_EQ(a.m.key.discSetting[s], row.discs[static_cast<std::size_t>(s - 1)]);
    } else if (row.initFails) {
        // Init captured the card and stopped at the blank disc selector, before the positions.
        EXPECT_EQ(positions(a.m), positionsBefore);
        for (int k = 1; k <= 31; ++k)
            EXPECT_EQ(a.m.key.cardSetting[k], row.card[static_cast<std::size_t>(k - 1)]);
    } else {
        EXPECT_EQ(positions(a.m), positionsBefore);
        EXPECT_EQ(a.m.key.cardSetting, keyBefore.cardSetting);
        EXPECT_EQ(a.m.key.discSetting, keyBefore.discSetting);
    }

    // What the check never touches.
    EXPECT_EQ(a.m.inputText, "HALLO");
    EXPECT_EQ(a.m.outputText, "5M5QH");
    EXPECT_EQ(a.w.paneText(Pane::Loaded), "loaded");
    EXPECT_TRUE(a.w.enabled(Control::CheckCipher));
    EXPECT_TRUE(a.w.enabled(Control::SpaceBar));
    EXPECT_FALSE(a.w.enabled(Control::YKey));
    EXPECT_TRUE(a.m.cipher());
}

const char* const kRejected = "Error Cipher-Card!\r\n";
const char* const kDiscsBad = "Cipher-Card o.k !!\r\nError Cipher-Disc !!\r\n";
const char* const kAllGood = "Cipher-Card o.k !!\r\nCipher-Disc o.k. \r\n";

INSTANTIATE_TEST_SUITE_P(
    Verdicts, SettingCheck,
    ::testing::Values(
        CheckRow{"card_entry_empty",
                 with(identity(), 5, 0),
                 {0, 1, 2, 3, 4},
                 kRejected,
                 0,
                 0,
                 31,
                 false,
                 false},
        CheckRow{"card_symbol_twice",
                 with(identity(), 5, 6),
                 {0, 1, 2, 3, 4},
                 kRejected,
                 0,
                 0,
                 2,
                 false,
                 false},
        CheckRow{"card_bad_discs_bad",
                 with(identity(), 1, 0),
                 {0, 0, 0, 0, 0},
                 kRejected,
                 0,
                 0,
                 31,
                 false,
                 false},
        CheckRow{"discs_1_1_3_4_5", identity(), {0, 0, 2, 3, 4}, kDiscsBad, 1, 0, 0, true, false},
        CheckRow{
            "discs_last_pair_equal", reversed(), {4, 2, 1, 0, 0}, kDiscsBad, 1, 0, 0, true, false},
        CheckRow{"service", identity(), {0, 1, 2, 3, 4}, kAllGood, 1, 1, 0, true, false},
        CheckRow{"reversed_card_reversed_discs",
                 reversed(),
                 {4, 3, 2, 1, 0},
                 kAllGood,
                 1,
                 1,
                 0,
                 true,
                 false},
        // A blank disc-number selector fails the disc test; Init still runs and stops at it.
        CheckRow{"disc_3_blank", identity(), {0, 1, -1, 3, 4}, kDiscsBad, 1, 0, 0, true, true},
        CheckRow{
            "discs_1_and_5_blank", identity(), {-1, 1, 2, 3, -1}, kDiscsBad, 1, 0, 0, true, true}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(SettingCheck, BlankCardSelectorStopsAfterTheFirstFourSteps) {
    Accepted a;
    const std::string positionsBefore = positions(a.m);
    a.w.text(Pane::Output) = "old verdict\r\n";
    show(a.w, with(reversed(), 10, -1), {0, 1, 2, 3, 4});

    try {
        checkSetting(a.m, a.w, a.w);
        FAIL() << "the check went through a blank card selector";
    } catch (const RangeError& e) {
        EXPECT_STREQ(e.what(), "Bereichsüberschreitung");
    }
    EXPECT_EQ(a.m.cardReady, 0);
    EXPECT_EQ(a.m.discReady, 0);
    EXPECT_EQ(a.m.cardErrorCount, 0);
    for (const Control c : kGuarded)
        EXPECT_FALSE(a.w.enabled(c)) << "control " << static_cast<int>(c);
    EXPECT_EQ(a.w.paneText(Pane::Input), "");
    EXPECT_EQ(a.w.paneText(Pane::Output), "old verdict\r\n");
    for (int k = 1; k <= 31; ++k)
        EXPECT_EQ(a.m.cardTable[k], k < 10 ? 32 - k : k) << "entry " << k;
    EXPECT_EQ(positions(a.m), positionsBefore) << "Init does not run";
}

TEST(SettingCheck, BlankDiscSelectorLeavesTheKeysDead) {
    Accepted a;
    show(a.w, identity(), {0, 1, 2, 3, -1});
    EXPECT_THROW(checkSetting(a.m, a.w, a.w), RangeError);
    const std::string input = a.m.inputText;
    typeKeys(a.m, a.w, "LLO");
    EXPECT_EQ(a.m.inputText, input) << "no key is processed";
}

TEST(SettingCheck, SwappingTwoCardEntriesTakesTwoChecks) {
    Accepted a;
    Card card = identity();
    card[4] = 6; // first pick: key 5 becomes "6", which key 6 also shows
    show(a.w, card, {0, 1, 2, 3, 4});
    checkSetting(a.m, a.w, a.w);
    EXPECT_EQ(a.w.paneText(Pane::Output), kRejected);
    EXPECT_FALSE(a.m.ready());
    const std::string input = a.m.inputText;
    typeKeys(a.m, a.w, "A");
    EXPECT_EQ(a.m.inputText, input) << "the keys stop working";

    card[5] = 5; // second pick: key 6 becomes "5"
    show(a.w, card, {0, 1, 2, 3, 4});
    checkSetting(a.m, a.w, a.w);
    EXPECT_EQ(a.w.paneText(Pane::Output), kAllGood);
    EXPECT_TRUE(a.m.ready());
    EXPECT_EQ(a.m.cardTableInverse[6], 5);
    EXPECT_EQ(a.m.cardTableInverse[5], 6);
}

TEST(SettingCheck, AnyPermutationIsAcceptedAlsoOneWithKeysMappedToThemselves) {
    Card card = reversed(); // key 16 ("O") stays "O"
    ASSERT_EQ(card[15], 16);
    for (const Card& c : {identity(), card, with(with(identity(), 1, 31), 31, 1)}) {
        MachineState m;
        FakeWindow w;
        show(w, c, {2, 0, 4, 1, 3});
        checkSetting(m, w, w);
        EXPECT_EQ(w.paneText(Pane::Output), kAllGood);
        EXPECT_TRUE(m.ready());
    }
}

TEST(SettingCheck, TextsTypedBeforeShowAgainWithTheNextKey) {
    Accepted a;
    checkSetting(a.m, a.w, a.w);
    EXPECT_EQ(a.w.paneText(Pane::Input), "");
    typeKeys(a.m, a.w, "H");
    EXPECT_EQ(a.w.paneText(Pane::Input), "HALLOH");
    EXPECT_EQ(a.w.paneText(Pane::Output), "5M5QH5") << "the discs started again from A";
}

TEST(ServiceSetting, AcceptsTheIdentityCardAndDiscsOneToFive) {
    MachineState m;
    FakeWindow w; // as the window stands before its creation event
    serviceSetting(m, w, w);
    EXPECT_EQ(w.paneText(Pane::Output), kAllGood);
    EXPECT_EQ(w.paneText(Pane::Input), "");
    EXPECT_EQ(m.cardReady, 1);
    EXPECT_EQ(m.discReady, 1);
    EXPECT_EQ(positions(m), "AAAAA");
    for (const Control c : kGuarded)
        EXPECT_TRUE(w.enabled(c));
    EXPECT_TRUE(w.enabled(Control::CheckCipher));
    for (int k = 1; k <= 31; ++k) {
        EXPECT_EQ(w.cardItem(k), k);
        EXPECT_EQ(m.cardTableInverse[k], k);
    }
    for (int s = 1; s <= 5; ++s)
        EXPECT_EQ(m.key.discSetting[s], s - 1);
}

TEST(ServiceSetting, ReplacesADifferentSettingThatWasShown) {
    Accepted a;
    show(a.w, reversed(), {4, 4, 1, 0, 2}); // e.g. drawn or loaded, not yet checked
    a.m.cardReady = 0;
    a.m.discReady = 0;
    a.w.setEnabled(Control::CheckCipher, true);
    for (int s = 1; s <= 5; ++s)
        a.m.setPosition(s, 30);

    serviceSetting(a.m, a.w, a.w);
    EXPECT_EQ(a.w.paneText(Pane::Output), kAllGood);
    EXPECT_EQ(a.w.paneText(Pane::Input), "");
    EXPECT_TRUE(a.m.ready());
    EXPECT_EQ(positions(a.m), "AAAAA");
    for (int k = 1; k <= 31; ++k)
        EXPECT_EQ(a.m.key.cardSetting[k], k);
    for (int s = 1; s <= 5; ++s)
        EXPECT_EQ(a.w.discItem(s), s - 1);
    EXPECT_EQ(a.m.inputText, "HALLO") << "the texts are kept";
}

} // namespace
} // namespace zelmak
