// The window's buttons that reach files, the help viewer and the converter, driven through
// the real controls with dialogs and platform doubles.

#include "form_fixture.h"

#include "temp_dir.h"

namespace zelmak::test {
namespace {

const std::string kAccepted = "Cipher-Card o.k !!\r\nCipher-Disc o.k. \r\n";

using Platform = FormTest;

TEST_F(Platform, help_asks_the_viewer_for_the_help_file_contents_and_shows_nothing_itself) {
    button(33)->click();
    ASSERT_EQ(helpViewer.requests().size(), 1U);
    EXPECT_EQ(helpViewer.requests()[0].helpFile, "ZELMAK.HLP");
    EXPECT_EQ(helpViewer.requests()[0].owner, form.get());
    EXPECT_EQ(helpFile, QStringLiteral("ZELMAK.HLP"));
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(pane(Pane::Output), kAccepted);
}

TEST_F(Platform, every_press_of_run_converter_starts_one_more_converter) {
    named<QPushButton>("BtStart")->click();
    named<QPushButton>("BtStart")->click();
    EXPECT_EQ(launcher.started(), (std::vector<std::string>{"converter.exe", "converter.exe"}));
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(Platform, exit_after_typing_asks_nothing_and_saves_nothing) {
    type("HALLO");
    button(29)->click();
    EXPECT_EQ(quitRequests, 1);
    EXPECT_TRUE(dialogs.saveFilters.isEmpty());
}

using Files = FormTest;

TEST_F(Files, automatic_keys_the_loaded_text_and_shows_both_panes) {
    form->showText(Pane::Loaded, "hallo alle\r\n");
    button(41)->click();
    EXPECT_EQ(pane(Pane::Input), "HALLO_ALLE");
    EXPECT_EQ(pane(Pane::Output), "5M5QHAI6Y4");
    EXPECT_EQ(positions(), "C8SPA");
}

TEST_F(Files, save_ciphercode_writes_the_output_pane_byte_for_byte) {
    TempDir dir;
    type("HAL");
    dialogs.saveAnswers << QString::fromStdString(dir.file("letter.txt"));
    button(35)->click();
    EXPECT_EQ(dialogs.proposedNames.value(0), QStringLiteral("ABCDE.cif"));
    EXPECT_EQ(dialogs.saveFilters.value(0),
              QStringLiteral("Chiffredatei (*.cif)|*.cif|Textdatei (*.txt)|*.txt"));
    EXPECT_EQ(readFile(dir.file("letter.txt.cif")), "5M5");
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(Files, save_ciphercode_asks_before_replacing_the_cif_file_it_would_write) {
    TempDir dir;
    writeFile(dir.file("letter.cif"), "OLD");
    type("HAL");
    dialogs.saveAnswers << QString::fromStdString(dir.file("letter"));
    dialogs.replaceAnswers << false;
    button(35)->click();
    EXPECT_EQ(dialogs.saveAsks.value(0), false) << "the dialog would ask about the wrong name";
    EXPECT_EQ(dialogs.replaceQuestions,
              QStringList{QString::fromStdString(dir.file("letter.cif"))});
    EXPECT_EQ(readFile(dir.file("letter.cif")), "OLD");
}

TEST_F(Files, save_cipher_over_a_longer_file_says_it_writes_the_first_36_bytes_and_does_so) {
    TempDir dir;
    const std::string path = dir.file("old.key");
    writeFile(path, std::string(100, 'x'));
    dialogs.saveAnswers << QString::fromStdString(path) << QString::fromStdString(path);
    dialogs.replaceAnswers << false << true;
    button(37)->click();
    EXPECT_EQ(readFile(path), std::string(100, 'x')) << "No leaves the file alone";
    button(37)->click();
    ASSERT_EQ(dialogs.dialogQuestions.size(), 2);
    EXPECT_TRUE(dialogs.dialogQuestions[0].contains(
        QStringLiteral("over its first 36 bytes; the other 64 bytes stay")))
        << dialogs.dialogQuestions[0].toStdString();
    const std::string now = readFile(path);
    ASSERT_EQ(now.size(), 100U);
    EXPECT_EQ(now.substr(36), std::string(64, 'x'));
    EXPECT_EQ(now[0], '\x01');
}

TEST_F(Files, loading_a_text_file_then_automatic_then_deciphering_gives_the_text_back) {
    TempDir dir;
    writeFile(dir.file("clear.txt"), "Hallo alle\nwir treffen uns um 9\n");
    dialogs.openAnswers << QString::fromStdString(dir.file("clear.txt"));
    button(40)->click();
    EXPECT_EQ(pane(Pane::Loaded), "Hallo alle\r\nwir treffen uns um 9\r\n");
    button(41)->click();
    const std::string cipher = pane(Pane::Output);
    dialogs.saveAnswers << QString::fromStdString(dir.file("secret.cif"));
    button(35)->click();
    ASSERT_EQ(readFile(dir.file("secret.cif")), cipher);

    for (int s = 1; s <= 5; ++s)
        position(s)->setCurrentIndex(17);
    QTest::mouseClick(radio(1), Qt::LeftButton);
    dialogs.openAnswers << QString::fromStdString(dir.file("secret.cif"));
    button(40)->click();
    button(41)->click();
    EXPECT_EQ(pane(Pane::Output), "HALLO_ALLEIR_TREFFEN_UNS_UM_9");
}

TEST_F(Files, key_file_round_trip_through_the_dialogs) {
    TempDir dir;
    pick(card(1), 2);
    pick(card(2), 1); // I and 2 swapped, accepted again
    dialogs.saveAnswers << QString::fromStdString(dir.file("mine.key"));
    button(37)->click();
    EXPECT_EQ(dialogs.proposedNames.value(0), QStringLiteral("061226.key"));
    EXPECT_EQ(dialogs.saveFilters.value(0), QStringLiteral("Datei from Cipher (*.key)|*.key"));
    ASSERT_EQ(readFile(dir.file("mine.key")).size(), 36U);

    button(36)->click(); // back to the service setting
    dialogs.openAnswers << QString::fromStdString(dir.file("mine.key"));
    button(39)->click();
    EXPECT_EQ(dialogs.openFilters.value(0), QStringLiteral("Datei from Cipher(*.key)|*.key"));
    EXPECT_EQ(card(1)->currentIndex(), 2);
    EXPECT_EQ(card(2)->currentIndex(), 1);
    EXPECT_TRUE(button(38)->isEnabled());
    EXPECT_FALSE(button(37)->isEnabled());
    EXPECT_FALSE(button(41)->isEnabled());
    button(1)->setFocus();
    type("A");
    EXPECT_EQ(pane(Pane::Input), "") << "keys wait for the check";
    button(38)->click();
    EXPECT_EQ(pane(Pane::Output), kAccepted);
}

TEST_F(Files, a_missing_key_file_is_reported_and_changes_nothing) {
    TempDir dir;
    dialogs.openAnswers << QString::fromStdString(dir.file("absent.key"));
    button(39)->click();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(dialogs.errors[0], QStringLiteral("Datei nicht gefunden."));
    EXPECT_EQ(form->machine().cardReady, 1);
    EXPECT_TRUE(button(37)->isEnabled());
    type("H");
    EXPECT_EQ(pane(Pane::Output), "5");
}

TEST_F(Files, a_key_file_with_a_disc_byte_above_4_blanks_its_selector_and_fails_the_check) {
    TempDir dir;
    std::string record;
    for (int k = 1; k <= 31; ++k)
        record.push_back(static_cast<char>(k));
    record += std::string("\x00\x01\x07\x03\x04", 5);
    writeFile(dir.file("odd.key"), record);
    dialogs.openAnswers << QString::fromStdString(dir.file("odd.key"));
    button(39)->click();
    EXPECT_EQ(disc(3)->currentIndex(), -1);
    button(38)->click();
    EXPECT_EQ(pane(Pane::Output), "Cipher-Card o.k !!\r\nError Cipher-Disc !!\r\n");
    EXPECT_EQ(form->machine().discReady, 0);
    EXPECT_FALSE(button(41)->isEnabled());
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(dialogs.errors[0], QStringLiteral("Bereichsüberschreitung."));
}

TEST_F(Files, random_cipher_waits_for_the_check_and_keeps_positions_and_texts) {
    type("HA");
    const std::string at = positions();
    button(42)->click();
    EXPECT_EQ(positions(), at);
    EXPECT_FALSE(button(37)->isEnabled());
    EXPECT_FALSE(button(41)->isEnabled());
    EXPECT_TRUE(button(38)->isEnabled());
    button(1)->setFocus();
    type("L");
    EXPECT_EQ(pane(Pane::Input), "HA");
    button(38)->click();
    EXPECT_EQ(pane(Pane::Output), kAccepted);
    EXPECT_EQ(positions(), "AAAAA");
}

} // namespace
} // namespace zelmak::test
