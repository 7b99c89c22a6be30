// The keys, the mode buttons and "Clear all Window" as the operator meets them.

#include "session_rig.h"
#include "session_steps.h"

#include <gtest/gtest.h>

namespace zelmak::test {
namespace {

TEST(Keys, do_nothing_at_all_while_no_setting_is_accepted) {
    SessionRig rig;
    rig.type("HAL");
    drawSetting(rig, recordOf(reversedRecordBytes()));
    const Snapshot before = snapshotOf(rig);
    for (int k = 1; k <= kSymbolCount; ++k)
        rig.session.pressKey(keySymbol(k));
    rig.session.pressKey('_');
    EXPECT_EQ(snapshotOf(rig), before);
}

TEST(Keys, panes_hold_exactly_the_whole_texts_with_no_line_break) {
    SessionRig rig;
    std::string typed;
    for (int round = 0; round < 50; ++round) {
        rig.type("HALLO_ALLE");
        typed += "HALLO_ALLE";
        ASSERT_EQ(rig.pane(Pane::Input), typed);
        ASSERT_EQ(rig.pane(Pane::Output), rig.machine().outputText);
    }
    EXPECT_EQ(rig.machine().outputText.substr(0, 10), "5M5QHAI6Y4");
    EXPECT_EQ(rig.pane(Pane::Output).find_first_of("\r\n"), std::string::npos);
}

// Showing the texts can fail as the handler can: the error box says so, and the next key shows
// both texts whole.
TEST(Keys, a_pane_that_cannot_be_shown_goes_to_the_error_box_and_the_next_key_shows_it) {
    SessionRig rig;
    rig.view.failNextShow = true;
    rig.type("HA");
    EXPECT_EQ(rig.view.errors, std::vector<std::string>{"Zu wenig Arbeitsspeicher."});
    EXPECT_EQ(rig.pane(Pane::Input), "HA");
    EXPECT_EQ(rig.pane(Pane::Output), "5M");
}

TEST(Keys, switching_the_mode_keeps_texts_and_discs_and_the_next_key_uses_it) {
    SessionRig rig;
    rig.type("HALLO");
    const Positions where = rig.machine().positions;
    rig.session.selectDecipher();
    EXPECT_EQ(rig.pane(Pane::Output), "5M5QH");
    EXPECT_EQ(rig.view.positions, where);
    EXPECT_EQ(rig.view.mode, Mode::Decipher);
    // From here the worked example's sixth cipher symbol "A" deciphers to the word space, and
    // the Y key enters "Y".
    rig.type("AY");
    EXPECT_EQ(rig.pane(Pane::Input), "HALLOAY");
    EXPECT_EQ(rig.pane(Pane::Output).substr(0, 6), "5M5QH_");
}

TEST(Keys, clear_all_empties_the_texts_and_panes_and_nothing_else) {
    SessionRig rig;
    rig.type("HALLO");
    typeInto(rig, Pane::Loaded, "loaded\r\ntext");
    rig.session.selectDecipher();
    Snapshot expected = snapshotOf(rig);
    expected.panes = {};
    expected.inputText.clear();
    expected.outputText.clear();
    expected.undoDepth = 0;
    expected.enabled[static_cast<std::size_t>(Control::UndoKey)] = false;

    rig.session.clearAll();
    EXPECT_EQ(snapshotOf(rig), expected);

    // The next key starts new texts from where the discs stand.
    rig.type("A");
    EXPECT_EQ(rig.pane(Pane::Input), "A");
    EXPECT_EQ(rig.pane(Pane::Output), "_");
}

} // namespace
} // namespace zelmak::test
