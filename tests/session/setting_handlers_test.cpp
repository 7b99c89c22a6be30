// The setting check (the button and every pick in a card or disc-number selector), the service
// setting and "Random Cipher": the verdict in the output pane, the flags, the set-up, and what
// they leave alone.

#include "machine/key_alphabet.h"
#include "machine/machine.h"
#include "session_steps.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zelmak::test {
namespace {

using Card = std::array<int, kSymbolCount>;
using Discs = std::array<int, 5>;

// The controls the check enables only for an accepted setting.
constexpr Control kGuarded[] = {Control::SaveCipher,     Control::InputPane,
                                Control::OutputPane,     Control::SaveCipherCode,
                                Control::LoadCipherCode, Control::Automatic};

const char* const kRejected = "Error Cipher-Card!\r\n";
const char* const kDiscsBad = "Cipher-Card o.k !!\r\nError Cipher-Disc !!\r\n";
const char* const kAllGood = "Cipher-Card o.k !!\r\nCipher-Disc o.k. \r\n";
const char* const kRangeError = "Bereichsüberschreitung.";

Card identity() {
    Card c{};
    for (int k = 1; k <= kSymbolCount; ++k)
        c[static_cast<std::size_t>(k - 1)] = k;
    return c;
}

Card reversed() {
    Card c = identity();
    std::reverse(c.begin(), c.end());
    return c;
}

Card with(Card c, int k, int item) {
    c[static_cast<std::size_t>(k - 1)] = item;
    return c;
}

SettingDraft draftOf(const std::string& record) {
    SettingDraft draft;
    draft.setRecord(recordOf(record));
    return draft;
}

std::string positions(const SessionRig& rig) {
    std::string out;
    for (int s = 1; s <= 5; ++s)
        out += rig.machine().positions[s] >= 0 ? positionSymbol(rig.machine().positions[s]) : '?';
    return out;
}

// After the service setting: "HALLO" typed, the discs moved off "A", a text in the loaded-text
// pane.
struct Typed : SessionRig {
    Typed() {
        type("HALLO");
        for (int s = 1; s <= 5; ++s)
            session.pickPosition(s, s + 2);
        typeInto(*this, Pane::Loaded, "loaded");
    }
};

struct CheckRow {
    const char* name;
    Card card;
    Discs discs;
    const char* output;
    Byte cardReady;
    Byte discReady;
    int errorCount;
    const char* error = nullptr; // the set-up stops at a blank disc-number selector
};

void PrintTo(const CheckRow& row, std::ostream* os) {
    *os << row.name;
}

class SettingCheck : public ::testing::TestWithParam<CheckRow> {};

// The operator picks every entry that differs (each pick runs the check), then presses "Check
// Cipher".
TEST_P(SettingCheck, reports_sets_the_flags_and_runs_the_set_up_for_an_accepted_card) {
    const CheckRow& row = GetParam();
    Typed rig;
    const std::string positionsBefore = positions(rig);
    for (int k = 1; k <= kSymbolCount; ++k)
        if (rig.session.draft().cardItem(k) != row.card[static_cast<std::size_t>(k - 1)])
            rig.session.pickCard(k, row.card[static_cast<std::size_t>(k - 1)]);
    for (int s = 1; s <= 5; ++s)
        if (rig.session.draft().discItem(s) != row.discs[static_cast<std::size_t>(s - 1)])
            rig.session.pickDisc(s, row.discs[static_cast<std::size_t>(s - 1)]);
    rig.session.checkCipher();
    const MachineState& m = rig.machine();

    if (row.error) {
        EXPECT_THAT(rig.view.errors, ::testing::Each(std::string(row.error)));
    }
    EXPECT_EQ(rig.view.errors.empty(), !row.error);
    EXPECT_EQ(rig.pane(Pane::Output), row.output);
    EXPECT_EQ(rig.pane(Pane::Input), "");
    EXPECT_EQ(m.cardReady, row.cardReady);
    EXPECT_EQ(m.discReady, row.discReady);
    EXPECT_EQ(m.cardErrorCount, row.errorCount);
    const bool ready = row.cardReady == 1 && row.discReady == 1;
    for (const Control c : kGuarded)
        EXPECT_EQ(rig.view.enabled(c), ready) << "control " << static_cast<int>(c);
    for (int k = 1; k <= kSymbolCount; ++k)
        EXPECT_EQ(m.cardTable[k], row.card[static_cast<std::size_t>(k - 1)]) << k;

    // The set-up captures the card whenever it is accepted, and the discs, and turns them to
    // "A", when it runs to its end.
    const bool setUp = row.cardReady == 1 && !row.error;
    EXPECT_EQ(positions(rig), setUp ? "AAAAA" : positionsBefore);
    KeyRecordBytes key = recordOf(serviceRecordBytes());
    if (row.cardReady == 1)
        std::copy(row.card.begin(), row.card.end(), key.begin());
    if (setUp)
        std::copy(row.discs.begin(), row.discs.end(), key.begin() + kCardBytes);
    EXPECT_EQ(m.key.bytes(), key);

    // What the check never touches.
    EXPECT_EQ(m.inputText, "HALLO");
    EXPECT_EQ(m.outputText, "5M5QH");
    EXPECT_EQ(rig.pane(Pane::Loaded), "loaded");
    EXPECT_TRUE(rig.view.enabled(Control::CheckCipher));
    EXPECT_EQ(m.mode, Mode::Cipher);

    // The keys work exactly while the setting is accepted.
    rig.type("L");
    EXPECT_EQ(m.inputText, ready ? "HALLOL" : "HALLO");
}

INSTANTIATE_TEST_SUITE_P(
    Verdicts, SettingCheck,
    ::testing::Values(
        CheckRow{"card_entry_empty", with(identity(), 5, 0), {0, 1, 2, 3, 4}, kRejected, 0, 0, 31},
        CheckRow{"card_symbol_twice", with(identity(), 5, 6), {0, 1, 2, 3, 4}, kRejected, 0, 0, 2},
        CheckRow{
            "card_bad_discs_bad", with(identity(), 1, 0), {0, 0, 0, 0, 0}, kRejected, 0, 0, 31},
        CheckRow{"discs_1_1_3_4_5", identity(), {0, 0, 2, 3, 4}, kDiscsBad, 1, 0, 0},
        CheckRow{"discs_last_pair_equal", reversed(), {4, 2, 1, 0, 0}, kDiscsBad, 1, 0, 0},
        CheckRow{"service", identity(), {0, 1, 2, 3, 4}, kAllGood, 1, 1, 0},
        // Key 16 ("O") stays "O": a card may map a key to itself.
        CheckRow{"reversed_card_reversed_discs", reversed(), {4, 3, 2, 1, 0}, kAllGood, 1, 1, 0},
        CheckRow{"first_and_last_key_swapped",
                 with(with(identity(), 1, 31), 31, 1),
                 {2, 0, 4, 1, 3},
                 kAllGood,
                 1,
                 1,
                 0},
        // A blank disc-number selector fails the disc test; the set-up still runs and stops at it.
        CheckRow{"disc_3_blank", identity(), {0, 1, -1, 3, 4}, kDiscsBad, 1, 0, 0, kRangeError},
        CheckRow{
            "discs_1_and_5_blank", identity(), {-1, 1, 2, 3, -1}, kDiscsBad, 1, 0, 0, kRangeError}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(SettingCheckStops, at_a_blank_card_selector_with_the_texts_flags_and_positions_as_they_were) {
    Typed rig;
    drawSetting(rig, recordOf(reversedRecordBytes())); // another card in the selectors, unchecked
    typeInto(rig, Pane::Output, "old verdict\r\n");
    const std::string positionsBefore = positions(rig);
    rig.session.pickCard(10, -1);

    EXPECT_EQ(rig.view.errors, std::vector<std::string>{kRangeError});
    EXPECT_EQ(rig.machine().cardReady, 0);
    EXPECT_EQ(rig.machine().discReady, 0);
    EXPECT_EQ(rig.machine().cardErrorCount, 0);
    for (const Control c : kGuarded)
        EXPECT_FALSE(rig.view.enabled(c)) << "control " << static_cast<int>(c);
    EXPECT_EQ(rig.pane(Pane::Input), "");
    EXPECT_EQ(rig.pane(Pane::Output), "old verdict\r\n");
    // The card table holds the new entries up to the blank one.
    for (int k = 1; k <= kSymbolCount; ++k)
        EXPECT_EQ(rig.machine().cardTable[k], k < 10 ? 32 - k : k) << "entry " << k;
    EXPECT_EQ(positions(rig), positionsBefore) << "the set-up does not run";
}

TEST(SettingCheckPicks, swapping_two_card_entries_takes_two_picks) {
    Typed rig;
    rig.session.pickCard(5, 6); // key 5 becomes "6", which key 6 also shows
    EXPECT_EQ(rig.pane(Pane::Output), kRejected);
    rig.type("A");
    EXPECT_EQ(rig.machine().inputText, "HALLO") << "the keys stop working";

    rig.session.pickCard(6, 5);
    EXPECT_EQ(rig.pane(Pane::Output), kAllGood);
    EXPECT_EQ(rig.machine().cardTableInverse[6], 5);
    EXPECT_EQ(rig.machine().cardTableInverse[5], 6);
}

TEST(SettingCheckPicks, the_texts_typed_before_show_again_with_the_next_key) {
    Typed rig;
    rig.session.checkCipher();
    EXPECT_EQ(rig.pane(Pane::Input), "");
    rig.type("H");
    EXPECT_EQ(rig.pane(Pane::Input), "HALLOH");
    EXPECT_EQ(rig.pane(Pane::Output), "5M5QH5") << "the discs started again from A";
}

TEST(ServiceSetting, at_creation_accepts_the_identity_card_and_discs_one_to_five) {
    SessionRig rig;
    EXPECT_EQ(rig.pane(Pane::Output), kAllGood);
    EXPECT_EQ(rig.pane(Pane::Input), "");
    EXPECT_TRUE(rig.machine().ready());
    EXPECT_EQ(positions(rig), "AAAAA");
    for (const Control c : kGuarded)
        EXPECT_TRUE(rig.view.enabled(c)) << "control " << static_cast<int>(c);
    EXPECT_TRUE(rig.view.enabled(Control::CheckCipher));
    EXPECT_EQ(rig.view.shownDraft, draftOf(serviceRecordBytes()));
    for (int k = 1; k <= kSymbolCount; ++k)
        EXPECT_EQ(rig.machine().cardTableInverse[k], k);
    EXPECT_EQ(rig.view.checkValue, checkValue(rig.machine()));
    EXPECT_TRUE(rig.view.errors.empty());
}

TEST(ServiceSetting, replaces_a_setting_shown_but_unchecked_and_keeps_the_texts) {
    Typed rig;
    drawSetting(rig, recordOf(reversedRecordBytes()));
    rig.session.serviceCipher();
    EXPECT_EQ(rig.pane(Pane::Output), kAllGood);
    EXPECT_EQ(rig.pane(Pane::Input), "");
    EXPECT_TRUE(rig.machine().ready());
    EXPECT_EQ(positions(rig), "AAAAA");
    EXPECT_EQ(rig.machine().key.bytes(), recordOf(serviceRecordBytes()));
    EXPECT_EQ(rig.view.shownDraft, draftOf(serviceRecordBytes()));
    EXPECT_EQ(rig.machine().inputText, "HALLO");
}

TEST(RandomCipher, offers_the_draw_withdraws_the_acceptance_and_leaves_the_machine_alone) {
    Typed rig;
    rig.session.selectDecipher();
    const MachineState before = rig.machine();
    Snapshot expected = snapshotOf(rig);
    drawSetting(rig, recordOf(reversedRecordBytes()));

    expected.draft = draftOf(reversedRecordBytes());
    expected.cardReady = expected.discReady = 0;
    expected.checkValue = "";
    expected.undoDepth = 0;
    for (const Control c : {Control::SaveCipher, Control::SaveCipherCode, Control::LoadCipherCode,
                            Control::Automatic, Control::UndoKey})
        expected.enabled[static_cast<std::size_t>(c)] = false;
    EXPECT_EQ(snapshotOf(rig), expected);
    EXPECT_EQ(rig.machine().positions, before.positions);
    EXPECT_EQ(rig.machine().cardTable, before.cardTable);
    EXPECT_EQ(rig.machine().cardTableInverse, before.cardTableInverse);
    rig.type("Y");
    EXPECT_EQ(rig.machine().inputText, "HALLO") << "the keys do nothing";
}

TEST(RandomCipher, the_check_accepts_the_draw_and_the_keys_work_again) {
    SessionRig rig;
    drawSetting(rig, recordOf(reversedRecordBytes()));
    rig.session.checkCipher();
    EXPECT_EQ(rig.pane(Pane::Output), kAllGood);
    EXPECT_TRUE(rig.view.enabled(Control::Automatic));
    EXPECT_EQ(rig.machine().key.bytes(), recordOf(reversedRecordBytes()));
    rig.type("A");
    EXPECT_EQ(rig.machine().outputText.size(), 1u);
}

// "Use this setting" of the break window: selectors, check, positions and Decipher in one step,
// so that the loaded message then deciphers; a setting the check rejects leaves discs and switch.
TEST(UseSetting, checks_the_setting_then_turns_the_discs_and_selects_decipher) {
    const std::array<int, kSlotCount> start{3, 0, 30, 17, 9};
    SessionRig sender;
    sender.session.useSetting(recordOf(reversedRecordBytes()), start);
    sender.session.selectCipher();
    sender.type("HALLO SEE");
    const std::string cipher = sender.machine().outputText;

    SessionRig rig;
    rig.type("Q");
    rig.session.useSetting(recordOf(reversedRecordBytes()), start);
    EXPECT_EQ(rig.pane(Pane::Output), kAllGood);
    EXPECT_EQ(rig.view.shownDraft, draftOf(reversedRecordBytes()));
    EXPECT_EQ(rig.view.mode, Mode::Decipher);
    for (int s = 1; s <= kSlotCount; ++s)
        EXPECT_EQ(rig.view.positions[s], start[static_cast<std::size_t>(s - 1)]);
    EXPECT_EQ(rig.session.history().undoDepth(rig.machine()), 0u);
    rig.type(cipher);
    EXPECT_THAT(rig.machine().outputText,
                ::testing::EndsWith("HALLO_SEE")); // after the earlier key

    std::string bad = reversedRecordBytes();
    bad[1] = bad[0];
    SessionRig refused;
    const Positions before = refused.machine().positions;
    refused.session.useSetting(recordOf(bad), start);
    EXPECT_EQ(refused.pane(Pane::Output), kRejected);
    EXPECT_EQ(refused.machine().positions, before);
    EXPECT_EQ(refused.machine().mode, Mode::Cipher);
}

} // namespace
} // namespace zelmak::test
