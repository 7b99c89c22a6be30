// Keys taken back and done again through the session: what the panes show, what a screen reader
// is told, and where a new history starts.

#include "session_steps.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <functional>

namespace zelmak::test {
namespace {

TEST(Undo, takes_keys_and_runs_back_and_tells_what_it_did) {
    SessionRig rig;
    rig.type("HA L");
    rig.session.undoKey();
    rig.session.undoKey();
    EXPECT_EQ(rig.pane(Pane::Input), "HA");
    EXPECT_EQ(rig.pane(Pane::Output), "5M");
    rig.session.redoKey();
    typeInto(rig, Pane::Loaded, "Hallo alle");
    rig.session.automatic();
    const std::string ran = rig.pane(Pane::Output);
    rig.session.undoKey();
    EXPECT_EQ(rig.pane(Pane::Input), "HA_");
    rig.session.redoKey();
    EXPECT_EQ(rig.pane(Pane::Input), "HALLO_ALLE");
    EXPECT_EQ(rig.pane(Pane::Output), ran);
    EXPECT_EQ(rig.view.announcements,
              (std::vector<std::string>{"Key L taken back", "Key space bar taken back",
                                        "Key space bar done again", "Automatic run taken back",
                                        "Automatic run done again"}));
    EXPECT_TRUE(rig.view.enabled(Control::UndoKey));
    EXPECT_FALSE(rig.view.enabled(Control::RedoKey));
}

struct SetUpRow {
    const char* name;
    std::function<void(SessionRig&, const TempDir&)> step;
};

const SetUpRow kSetUps[] = {
    {"check_cipher", [](SessionRig& r, const TempDir&) { r.session.checkCipher(); }},
    {"service_cipher", [](SessionRig& r, const TempDir&) { r.session.serviceCipher(); }},
    {"random_cipher",
     [](SessionRig& r, const TempDir&) { drawSetting(r, recordOf(reversedRecordBytes())); }},
    {"load_cipher",
     [](SessionRig& r, const TempDir& dir) {
         writeFile(dir.file("k.key"), reversedRecordBytes());
         r.view.openAnswers.push_back(dir.file("k.key"));
         r.session.loadCipher();
     }},
    {"clear_all_window", [](SessionRig& r, const TempDir&) { r.session.clearAll(); }},
    {"card_pick", [](SessionRig& r, const TempDir&) { r.session.pickCard(1, 1); }},
    {"disc_pick", [](SessionRig& r, const TempDir&) { r.session.pickDisc(1, 0); }},
};

class NewHistory : public ::testing::TestWithParam<SetUpRow> {};

TEST_P(NewHistory, nothing_is_taken_back_across_a_set_up) {
    SessionRig rig;
    TempDir dir;
    rig.type("HALLO");
    GetParam().step(rig, dir);
    EXPECT_FALSE(rig.view.enabled(Control::UndoKey));
    const Snapshot before = snapshotOf(rig);
    rig.session.undoKey();
    EXPECT_EQ(snapshotOf(rig), before);
}

INSTANTIATE_TEST_SUITE_P(Steps, NewHistory, ::testing::ValuesIn(kSetUps),
                         [](const auto& row) { return std::string(row.param.name); });

// A load that is cancelled or cannot read its file changes nothing, the history included, and
// the next key is handled as ever.
TEST(Undo, a_cancelled_or_failed_load_keeps_the_history) {
    SessionRig rig;
    TempDir dir;
    rig.type("HALLO");
    for (const std::optional<std::string>& answer :
         {std::optional<std::string>(), std::optional<std::string>(dir.file("missing.key"))}) {
        rig.view.openAnswers.push_back(answer);
        rig.session.loadCipher();
        EXPECT_EQ(rig.session.history().undoDepth(rig.machine()), 5u);
    }
    EXPECT_EQ(rig.view.errors, std::vector<std::string>{"Datei nicht gefunden."});
    rig.type(" ALLE");
    EXPECT_EQ(rig.pane(Pane::Output), "5M5QHAI6Y4");
}

} // namespace
} // namespace zelmak::test
