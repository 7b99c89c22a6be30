// "Save Cipher" and "Load Cipher": the key setting to a file and back into the selectors, where
// it waits, unaccepted, for the setting check.

#include "file_conditions.h"
#include "session_steps.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

namespace zelmak::test {
namespace {

class KeyFileHandler : public ::testing::Test {
protected:
    SessionRig rig;
    TempDir dir;

    void save(const std::string& name) {
        rig.view.saveAnswers.push_back(dir.file(name));
        rig.session.saveCipher();
    }
    void load(const std::string& name, const std::string& bytes) {
        writeFile(dir.file(name), bytes);
        rig.view.openAnswers.push_back(dir.file(name));
        rig.session.loadCipher();
    }
    // What the 31 card and 5 disc-number selectors show, as a record.
    std::string shownRecord() const {
        std::string bytes;
        for (int k = 1; k <= kSymbolCount; ++k)
            bytes += static_cast<char>(rig.view.shownDraft.cardItem(k));
        for (int s = 1; s <= 5; ++s)
            bytes += static_cast<char>(rig.view.shownDraft.discItem(s));
        return bytes;
    }
};

// The setting as the set-up captured it, not what the selectors show since.
TEST_F(KeyFileHandler, save_writes_the_accepted_record_under_the_name_as_chosen) {
    drawSetting(rig, recordOf(reversedRecordBytes()));
    save("mykey");
    EXPECT_EQ(readFile(dir.file("mykey")), serviceRecordBytes());
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"mykey"});
    EXPECT_TRUE(rig.view.errors.empty());
}

TEST_F(KeyFileHandler, load_fills_the_selectors_and_the_key_but_accepts_nothing) {
    rig.type("H");
    rig.session.pickPosition(3, 5);
    rig.session.selectDecipher();
    load("rev.key", reversedRecordBytes() + "tail");

    EXPECT_EQ(shownRecord(), reversedRecordBytes());
    EXPECT_EQ(rig.machine().key.bytes(), recordOf(reversedRecordBytes()));
    EXPECT_EQ(rig.machine().cardReady, 0);
    EXPECT_EQ(rig.machine().discReady, 0);
    EXPECT_EQ(rig.machine().cardErrorCount, 0);
    EXPECT_EQ(rig.session.history().undoDepth(rig.machine()), 0u);
    EXPECT_EQ(rig.view.checkValue, "");
    EXPECT_TRUE(rig.view.enabled(Control::CheckCipher));
    EXPECT_FALSE(rig.view.enabled(Control::SaveCipher));
    EXPECT_FALSE(rig.view.enabled(Control::Automatic));
    // The text buttons and panes keep their state; positions and mode stay.
    for (const Control c : {Control::SaveCipherCode, Control::LoadCipherCode, Control::InputPane,
                            Control::OutputPane})
        EXPECT_TRUE(rig.view.enabled(c)) << static_cast<int>(c);
    EXPECT_EQ(rig.machine().positions[3], 5);
    EXPECT_EQ(rig.machine().mode, Mode::Decipher);

    // The keys stay dead until the check accepts the setting.
    rig.type("A");
    EXPECT_EQ(rig.machine().inputText, "H");
    rig.session.checkCipher();
    EXPECT_EQ(rig.pane(Pane::Output), "Cipher-Card o.k !!\r\nCipher-Disc o.k. \r\n");
    rig.type("A");
    EXPECT_EQ(rig.machine().inputText, "HA");
}

TEST_F(KeyFileHandler, out_of_range_bytes_leave_their_selectors_blank_and_stop_the_check) {
    std::string bytes = serviceRecordBytes();
    bytes[4] = 32;              // card selector 5
    bytes[10] = 0;              // card selector 11: the empty item
    bytes[31 + 2] = 5;          // disc selector 3
    bytes[31 + 4] = char(0xFF); // disc selector 5
    load("odd.key", bytes);
    EXPECT_EQ(rig.view.shownDraft.cardItem(5), -1);
    EXPECT_EQ(rig.view.shownDraft.cardItem(11), 0);
    EXPECT_EQ(rig.view.shownDraft.cardItem(6), 6);
    EXPECT_EQ(rig.view.shownDraft.discItem(3), -1);
    EXPECT_EQ(rig.view.shownDraft.discItem(5), -1);
    EXPECT_EQ(rig.machine().key.bytes(), recordOf(bytes));
    EXPECT_TRUE(rig.view.errors.empty());
    rig.session.checkCipher();
    EXPECT_EQ(rig.view.errors, std::vector<std::string>{"Bereichsüberschreitung."});
}

TEST_F(KeyFileHandler, invalid_setting_in_range_loads_and_the_check_rejects_it) {
    std::string bytes = serviceRecordBytes();
    bytes[1] = 1; // symbol I twice, symbol 2 missing
    load("dup.key", bytes);
    EXPECT_TRUE(rig.view.enabled(Control::CheckCipher));
    rig.session.checkCipher();
    EXPECT_EQ(rig.pane(Pane::Output), "Error Cipher-Card!\r\n");
}

TEST_F(KeyFileHandler, saved_setting_comes_back_into_all_36_selectors) {
    drawSetting(rig, recordOf(reversedRecordBytes()));
    rig.session.checkCipher();
    save("round.key");
    rig.session.serviceCipher();
    rig.session.pickPosition(2, 9);
    rig.session.selectDecipher();

    rig.view.openAnswers.push_back(dir.file("round.key"));
    rig.session.loadCipher();
    EXPECT_EQ(shownRecord(), reversedRecordBytes());
    EXPECT_EQ(rig.machine().positions[2], 9);
    EXPECT_EQ(rig.machine().mode, Mode::Decipher);
}

TEST_F(KeyFileHandler, a_read_only_file_loads) {
    writeFile(dir.file("ro.key"), reversedRecordBytes());
    setMode(dir.file("ro.key"), 0444);
    setMode(dir.path().string(), 0755);
    rig.view.openAnswers.push_back(dir.file("ro.key"));
    {
        AsUnprivilegedUser user;
        rig.session.loadCipher();
    }
    EXPECT_TRUE(rig.view.errors.empty());
    EXPECT_EQ(shownRecord(), reversedRecordBytes());
}

} // namespace
} // namespace zelmak::test
