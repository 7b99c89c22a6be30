#include "machine_test_util.h"

#include "machine/fixed_tables.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <vector>

namespace zelmak {
namespace {

using test::acceptSetting;
using test::identityCard;
using test::positions;

std::vector<int> row(const Table2<Byte, 1, 5, 1, 31>& t, int r) {
    std::vector<int> out;
    for (int c = 1; c <= 31; ++c)
        out.push_back(t(r, c));
    return out;
}

TEST(Init, DiscWiringInverseRowOneIsTheWorkedRow) {
    MachineState m;
    acceptSetting(m);
    const std::vector<int> expected{6,  28, 21, 12, 14, 3,  1, 31, 4,  26, 25, 15, 29, 5,  20, 8,
                                    24, 2,  27, 10, 18, 19, 9, 16, 13, 7,  17, 11, 23, 22, 30};
    EXPECT_EQ(row(m.discWiringInverse, 1), expected);
}

TEST(Init, EveryDiscRowAndItsInverseUndoEachOther) {
    MachineState m;
    acceptSetting(m);
    for (int d = 1; d <= 5; ++d)
        for (int c = 1; c <= 31; ++c) {
            EXPECT_EQ(m.discWiringInverse(d, m.discWiring(d, c)), c) << "disc " << d;
            EXPECT_EQ(m.discWiring(d, m.discWiringInverse(d, c)), c) << "disc " << d;
        }
}

TEST(Init, ReflectorPairsContactsAndLeavesFifteenOpen) {
    MachineState m;
    acceptSetting(m);
    for (int c = 1; c <= 31; ++c) {
        const int other = m.discWiring(6, c);
        if (c == 15) {
            EXPECT_EQ(other, 0);
            continue;
        }
        ASSERT_GE(other, 1) << "contact " << c;
        EXPECT_NE(other, c) << "contact " << c;
        EXPECT_EQ(m.discWiring(6, other), c) << "contact " << c;
    }
}

TEST(Init, PinTableHoldsFourMarksPerDisc) {
    MachineState m;
    acceptSetting(m);
    const std::vector<std::vector<int>> marks{
        {2, 6, 22, 31}, {1, 12, 20, 29}, {3, 9, 24, 31}, {4, 11, 23, 31}, {8, 10, 21, 28}};
    for (int d = 1; d <= 5; ++d) {
        std::vector<int> got;
        for (int c = 1; c <= 31; ++c)
            if (m.pinTable(d, c) != 0) {
                EXPECT_EQ(m.pinTable(d, c), 1);
                got.push_back(c);
            }
        EXPECT_EQ(got, marks[static_cast<std::size_t>(d - 1)]) << "disc " << d;
    }
}

TEST(Init, ServiceSettingGivesIdentityInversesAndCapturesTheSelectors) {
    MachineState m;
    acceptSetting(m);
    for (int k = 1; k <= 31; ++k) {
        EXPECT_EQ(m.cardTableInverse[k], k);
        EXPECT_EQ(m.key.cardSetting[k], k);
    }
    for (int s = 1; s <= 5; ++s)
        EXPECT_EQ(m.key.discSetting[s], s - 1);
    EXPECT_EQ(positions(m), "AAAAA");
}

TEST(Init, CardInverseFollowsAShuffledCard) {
    MachineState m;
    test::Card card{};
    for (int k = 1; k <= 31; ++k)
        card[static_cast<std::size_t>(k - 1)] = 32 - k; // key 1 becomes N, key 31 becomes I
    acceptSetting(m, card, {4, 2, 0, 3, 1});
    for (int k = 1; k <= 31; ++k)
        EXPECT_EQ(m.cardTableInverse[m.cardTable[k]], k);
    EXPECT_EQ(m.key.discSetting.raw(), (std::array<Byte, 5>{4, 2, 0, 3, 1}));
}

TEST(Init, TurnsEveryDiscBackToA) {
    MachineState m;
    acceptSetting(m);
    test::setPositions(m, "N2QIV");
    Init(m, test::draftOf(test::identityCard()));
    EXPECT_EQ(positions(m), "AAAAA");
}

test::Card reversedCard() {
    test::Card card{};
    for (int k = 1; k <= 31; ++k)
        card[static_cast<std::size_t>(k - 1)] = 32 - k;
    return card;
}

struct BlankSelectorRow {
    const char* name;
    bool card; // a card selector, otherwise a disc-number selector
    int index; // which selector is blank
};

void PrintTo(const BlankSelectorRow& row, std::ostream* os) {
    *os << row.name;
}

class InitBlankSelector : public ::testing::TestWithParam<BlankSelectorRow> {};

// A blank selector stops the set-up there: what was captured before it keeps its new value,
// everything after it keeps the previous set-up's value, and the discs are not turned to "A".
TEST_P(InitBlankSelector, StopsThereWithTheEntriesBeforeItCaptured) {
    const BlankSelectorRow& p = GetParam();
    MachineState m;
    acceptSetting(m); // previous set-up: identity card, discs 0..4
    // The new setting: card reversed, discs 4 3 2 1 0, one selector blank.
    SettingDraft draft = test::draftOf(reversedCard(), {4, 3, 2, 1, 0});
    if (p.card)
        draft.setCardItem(p.index, -1);
    else
        draft.setDiscItem(p.index, -1);
    test::setPositions(m, "N2QIV");
    const auto inverseBefore = m.cardTableInverse;

    try {
        Init(m, draft);
        FAIL() << "Init went through a blank selector";
    } catch (const RangeError& e) {
        EXPECT_STREQ(e.what(), "Bereichsüberschreitung");
    }

    const int cardCaptured = p.card ? p.index - 1 : 31;
    const int discsCaptured = p.card ? 0 : p.index - 1;
    for (int k = 1; k <= 31; ++k)
        EXPECT_EQ(m.key.cardSetting[k], k <= cardCaptured ? 32 - k : k) << "card entry " << k;
    for (int s = 1; s <= 5; ++s)
        EXPECT_EQ(m.key.discSetting[s], s <= discsCaptured ? 5 - s : s - 1) << "disc " << s;
    EXPECT_EQ(m.cardTableInverse, inverseBefore);
    EXPECT_EQ(positions(m), "N2QIV");
}

INSTANTIATE_TEST_SUITE_P(
    Selectors, InitBlankSelector,
    ::testing::Values(BlankSelectorRow{"card_1", true, 1}, BlankSelectorRow{"card_17", true, 17},
                      BlankSelectorRow{"card_31", true, 31}, BlankSelectorRow{"disc_1", false, 1},
                      BlankSelectorRow{"disc_3", false, 3}, BlankSelectorRow{"disc_5", false, 5}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Init, CardTableOutsideOneToThirtyOneStopsWhenBuildingTheInverse) {
    MachineState m;
    acceptSetting(m);
    const SettingDraft service = test::draftOf(test::identityCard());
    m.cardTable[5] = 0;
    EXPECT_THROW(Init(m, service), RangeError);
    m.cardTable[5] = 32;
    EXPECT_THROW(Init(m, service), RangeError);
}

} // namespace
} // namespace zelmak

namespace zelmak {
namespace {

KeyRecordBytes record(const test::Card& card, const test::Discs& discs) {
    KeyRecordBytes r{};
    for (std::size_t k = 0; k < 31; ++k)
        r[k] = static_cast<Byte>(card[k]);
    for (std::size_t s = 0; s < 5; ++s)
        r[31 + s] = static_cast<Byte>(discs[s]);
    return r;
}

// The check value is what keying AAAAA in Cipher mode from A A A A A gives; it never moves the
// machine it is taken from.
TEST(CheckValue, OfKnownSettingsAndWithoutMovingTheMachine) {
    MachineState service = machineFor(record(test::identityCard(), test::kServiceDiscs));
    EXPECT_EQ(checkValue(service), "MM7D2");
    EXPECT_EQ(checkValue(machineFor(record(reversedCard(), {4, 3, 2, 1, 0}))), "RTD4T");
    test::typeKeys(service, "HAL");
    service.mode = Mode::Decipher;
    const MachineState before = service;
    EXPECT_EQ(checkValue(service), "MM7D2");
    EXPECT_EQ(test::positions(service), test::positions(before));
    EXPECT_EQ(service.mode, Mode::Decipher);
    EXPECT_EQ(service.outputText, before.outputText);

    // The copy it is worked out on has the setting and nothing of the run.
    const MachineState copy = settingOf(service);
    EXPECT_TRUE(static_cast<const MachineSetting&>(copy) == service);
    EXPECT_EQ(copy.outputText, "");
    EXPECT_EQ(test::positions(copy), "?????");
    EXPECT_FALSE(static_cast<const MachineSetting&>(
                     machineFor(record(reversedCard(), test::kServiceDiscs))) == service);
}

TEST(MachineFor, RefusesARecordNoCheckWouldAccept) {
    KeyRecordBytes r = record(test::identityCard(), test::kServiceDiscs);
    const MachineState m = machineFor(r);
    EXPECT_TRUE(m.ready());
    EXPECT_EQ(test::positions(m), "AAAAA");
    r[4] = 3; // symbol 3 twice
    EXPECT_THROW(machineFor(r), RangeError);
    r = record(test::identityCard(), {0, 1, 2, 3, 3});
    EXPECT_THROW(machineFor(r), RangeError);
    r = record(test::identityCard(), {0, 1, 2, 3, 5});
    EXPECT_THROW(machineFor(r), RangeError);
}

} // namespace
} // namespace zelmak
