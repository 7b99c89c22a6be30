#include "form_fixture.h"

#include "settings/settings.h"
#include "ui/run_pane.h"

#include <QLabel>
#include <QPlainTextEdit>

namespace zelmak::test {
namespace {

const std::string kAccepted = "Cipher-Card o.k !!\r\nCipher-Disc o.k. \r\n";

using FirstView = FormTest;

TEST_F(FirstView, shows_the_accepted_service_setting_with_discs_at_A) {
    EXPECT_EQ(pane(Pane::Output), kAccepted);
    EXPECT_EQ(pane(Pane::Input), "");
    EXPECT_EQ(pane(Pane::Loaded), "Load\r\n");
    EXPECT_EQ(positions(), "AAAAA");
    for (int k = 1; k <= 31; ++k)
        EXPECT_EQ(card(k)->currentIndex(), k) << "card selector " << k;
    for (int s = 1; s <= 5; ++s)
        EXPECT_EQ(disc(s)->currentIndex(), s - 1) << "disc selector " << s;
    EXPECT_EQ(form->machine().cardReady, 1);
    EXPECT_EQ(form->machine().discReady, 1);
    EXPECT_EQ(QApplication::focusWidget(), button(1));
    EXPECT_TRUE(radio(2)->isChecked());
    EXPECT_FALSE(radio(1)->isChecked());
}

TEST_F(FirstView, enables_what_an_accepted_setting_allows) {
    for (int n : {35, 36, 37, 38, 39, 40, 41, 42, 32, 29, 33})
        EXPECT_TRUE(button(n)->isEnabled()) << "Button" << n;
    EXPECT_FALSE(button(34)->isEnabled()) << "the Y key waits for Decipher mode";
    EXPECT_TRUE(named<QWidget>("Ausgabe")->isEnabled());
    EXPECT_TRUE(named<QWidget>("Eingabe")->isEnabled());
    EXPECT_TRUE(named<QPlainTextEdit>("Eingabe")->isReadOnly());
}

TEST_F(FirstView, window_has_its_caption_size_and_every_named_control) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Zelmak add Cipher-Disc Rotation2"));
    EXPECT_EQ(form->size(), QSize(999, 630));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_FALSE(form->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    const char* names[] = {"GroupBox1", "GroupBox2", "GroupBox3", "Label1",  "Label2",
                           "Label4",    "Label12",   "Label48",   "Label47", "Panel1",
                           "lade",      "BtStart",   "Button42",  "Button11"};
    for (const char* name : names)
        EXPECT_NE(form->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_EQ(named<QLabel>("Label4")->text(), QStringLiteral("Y/Spc="));
    EXPECT_EQ(named<QLabel>("Label48")->text(), QStringLiteral("3 ="));
    EXPECT_EQ(button(12)->text(), QStringLiteral("&E"));
    EXPECT_EQ(button(11)->text(), QStringLiteral("&V"));
    EXPECT_EQ(button(40)->text(), QStringLiteral("Loade CipherCode"));
    EXPECT_EQ(button(32)->geometry(), QRect(123, 218, 222, 23));
    EXPECT_EQ(card(1)->count(), 32);
    EXPECT_EQ(card(1)->itemText(0), QString());
    EXPECT_EQ(position(1)->count(), 31);
    EXPECT_EQ(position(1)->itemText(17), QStringLiteral("A"));
    EXPECT_EQ(disc(1)->count(), 5);
}

TEST_F(FirstView, every_control_has_a_name_a_screen_reader_can_read) {
    EXPECT_EQ(button(10)->accessibleName(), QStringLiteral("Key Q"));
    EXPECT_EQ(card(10)->accessibleName(), QStringLiteral("Card entry for key Q"));
    EXPECT_EQ(position(3)->accessibleName(), QStringLiteral("Position of disc slot 3"));
    EXPECT_EQ(disc(3)->accessibleName(), QStringLiteral("Disc number of slot 3"));
    for (QComboBox* box : form->findChildren<QComboBox*>())
        EXPECT_FALSE(box->accessibleName().isEmpty()) << box->objectName().toStdString();
    for (QPlainTextEdit* pane : form->findChildren<QPlainTextEdit*>())
        EXPECT_FALSE(pane->accessibleName().isEmpty()) << pane->objectName().toStdString();
    for (QAbstractButton* b : form->findChildren<QAbstractButton*>())
        EXPECT_FALSE(b->accessibleName().isEmpty() && b->text().isEmpty())
            << b->objectName().toStdString();
}

using Typing = FormTest;

TEST_F(Typing, worked_example_through_accelerators_and_the_space_bar) {
    type("hallo");
    button(32)->click();
    type("ALLE");
    EXPECT_EQ(pane(Pane::Input), "HALLO_ALLE");
    EXPECT_EQ(pane(Pane::Output), "5M5QHAI6Y4");
    EXPECT_EQ(positions(), "C8SPA");
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(Typing, deciphers_back_with_the_Y_key_from_the_same_start) {
    type("HALLO");
    button(32)->click();
    type("ALLE");
    ASSERT_EQ(pane(Pane::Output), "5M5QHAI6Y4");

    for (int s = 1; s <= 5; ++s)
        position(s)->setCurrentIndex(17); // the operator turns every disc back to A
    QTest::mouseClick(radio(1), Qt::LeftButton);
    ASSERT_TRUE(radio(1)->isChecked());
    EXPECT_FALSE(button(32)->isEnabled());
    EXPECT_TRUE(button(34)->isEnabled());
    QTest::mouseClick(named<QWidget>("Panel1"), Qt::LeftButton);
    EXPECT_EQ(pane(Pane::Loaded), "");
    button(1)->setFocus();
    type("5m5qhai6y4");
    EXPECT_EQ(pane(Pane::Input), "5M5QHAI6Y4");
    EXPECT_EQ(pane(Pane::Output), "HALLO_ALLE");
}

TEST_F(Typing, switching_the_mode_keeps_texts_and_discs) {
    type("QE");
    const std::string before = positions();
    QTest::mouseClick(radio(1), Qt::LeftButton);
    EXPECT_EQ(pane(Pane::Input), "QE");
    EXPECT_EQ(positions(), before);
    button(1)->setFocus();
    type("Y");
    EXPECT_EQ(pane(Pane::Input), "QEY");
    EXPECT_EQ(form->machine().mode, Mode::Decipher);
}

using Accelerators = FormTest;

struct AcceleratorCase {
    const char* name;
    char key;
    const char* entered; // what InputText shows afterwards ("" = nothing happened)
};

class PlainAccelerator : public FormTest, public ::testing::WithParamInterface<AcceleratorCase> {};

TEST_P(PlainAccelerator, on_a_focused_button) {
    const AcceleratorCase& c = GetParam();
    button(36)->setFocus(); // any button will do
    QTest::keyClick(QApplication::focusWidget(), c.key);
    EXPECT_EQ(pane(Pane::Input), c.entered);
    EXPECT_EQ(QApplication::focusWidget(), button(36)) << "an accelerator does not move the focus";
}

INSTANTIATE_TEST_SUITE_P(
    Keys, PlainAccelerator,
    ::testing::Values(AcceleratorCase{"lower_q", 'q', "Q"}, AcceleratorCase{"upper_Q", 'Q', "Q"},
                      AcceleratorCase{"digit_7", '7', "7"}, AcceleratorCase{"letter_i", 'i', "I"},
                      AcceleratorCase{"no_key_w", 'w', ""}, AcceleratorCase{"no_key_j", 'j', ""},
                      AcceleratorCase{"no_key_x", 'x', ""}, AcceleratorCase{"no_key_1", '1', ""},
                      AcceleratorCase{"no_key_0", '0', ""}, AcceleratorCase{"disabled_y", 'y', ""},
                      AcceleratorCase{"punctuation", '.', ""}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(Accelerators, on_a_radio_button) {
    radio(2)->setFocus();
    type("k");
    EXPECT_EQ(pane(Pane::Input), "K");
}

TEST_F(Accelerators, typing_into_the_loaded_text_pane_enters_letters_there) {
    QWidget* lade = named<QWidget>("lade");
    lade->setFocus();
    form->showText(Pane::Loaded, "");
    type("q");
    EXPECT_EQ(pane(Pane::Loaded), "q");
    EXPECT_EQ(pane(Pane::Input), "");
}

TEST_F(Accelerators, alt_clicks_the_key_whatever_has_the_focus) {
    named<QWidget>("lade")->setFocus();
    form->showText(Pane::Loaded, "");
    type("q", Qt::AltModifier);
    EXPECT_EQ(pane(Pane::Input), "Q");
    EXPECT_EQ(pane(Pane::Loaded), "");
    card(5)->setFocus();
    type("a", Qt::AltModifier);
    EXPECT_EQ(pane(Pane::Input), "QA");
    EXPECT_EQ(card(5)->currentIndex(), 5) << "the card selector kept its entry";
}

TEST_F(Accelerators, the_disabled_Y_key_ignores_click_and_alt) {
    button(34)->click();
    type("y", Qt::AltModifier);
    EXPECT_EQ(pane(Pane::Input), "");
    button(32)->click();
    EXPECT_EQ(pane(Pane::Input), "_");
}

TEST_F(Accelerators, keyboard_space_bar_presses_the_focused_key_not_the_space_key) {
    ASSERT_EQ(QApplication::focusWidget(), button(1));
    QTest::keyClick(button(1), Qt::Key_Space);
    EXPECT_EQ(pane(Pane::Input), "I");
}

TEST_F(Accelerators, enter_clicks_the_focused_button_and_nothing_else) {
    QTest::keyClick(button(1), Qt::Key_Return);
    EXPECT_EQ(pane(Pane::Input), "I");
    // A held key repeats: the button is clicked once per press, as Qt's buttons do for Space.
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space}) {
        QKeyEvent repeat(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(button(1), &repeat);
    }
    EXPECT_EQ(pane(Pane::Input), "I");
    radio(1)->setFocus();
    QTest::keyClick(radio(1), Qt::Key_Return);
    EXPECT_FALSE(radio(1)->isChecked());
    EXPECT_EQ(pane(Pane::Input), "I");
}

using SettingCheck = FormTest;

TEST_F(SettingCheck, a_card_pick_that_doubles_a_symbol_rejects_the_card) {
    type("AB");
    pick(card(1), 2); // I becomes 2, so "2" stands twice and "I" is missing
    EXPECT_EQ(pane(Pane::Output), "Error Cipher-Card!\r\n");
    EXPECT_EQ(form->machine().cardReady, 0);
    EXPECT_FALSE(button(37)->isEnabled());
    EXPECT_FALSE(button(41)->isEnabled());
    EXPECT_EQ(positions().substr(0, 2), "DO") << "no set-up ran, the discs stayed";
    button(1)->setFocus();
    type("C");
    EXPECT_EQ(pane(Pane::Input), "") << "keys are dead while the card is rejected";
}

TEST_F(SettingCheck, swapping_two_entries_takes_two_picks_and_then_shows_all_text_again) {
    type("AB");
    const std::string output = pane(Pane::Output);
    pick(card(1), 2);
    pick(card(2), 1);
    EXPECT_EQ(pane(Pane::Output), kAccepted);
    EXPECT_EQ(pane(Pane::Input), "");
    EXPECT_EQ(positions(), "AAAAA");
    button(1)->setFocus();
    type("C");
    EXPECT_EQ(pane(Pane::Input), "ABC");
    EXPECT_EQ(pane(Pane::Output).substr(0, 2), output);
    EXPECT_EQ(pane(Pane::Output).size(), 3U);
}

TEST_F(SettingCheck, equal_disc_numbers_keep_keys_dead_but_turn_discs_to_A) {
    type("A");
    pick(disc(2), 0);
    EXPECT_EQ(pane(Pane::Output), "Cipher-Card o.k !!\r\nError Cipher-Disc !!\r\n");
    EXPECT_EQ(form->machine().discReady, 0);
    EXPECT_FALSE(button(37)->isEnabled());
    EXPECT_EQ(positions(), "AAAAA");
}

TEST_F(SettingCheck, a_blank_disc_selector_fails_the_disc_test_and_reports_the_set_up_error) {
    form->setDiscItem(3, 9); // as a key file with a disc byte above 4 leaves it
    ASSERT_EQ(disc(3)->currentIndex(), -1);
    button(38)->click();
    EXPECT_EQ(pane(Pane::Output), "Cipher-Card o.k !!\r\nError Cipher-Disc !!\r\n");
    EXPECT_EQ(form->machine().discReady, 0);
    for (int n : {37, 35, 40, 41})
        EXPECT_FALSE(button(n)->isEnabled()) << "Button" << n;
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(dialogs.errors[0], QStringLiteral("Bereichsüberschreitung."));
}

TEST_F(SettingCheck, after_an_error_the_next_event_is_handled_normally) {
    form->setCardItem(7, 40);
    ASSERT_EQ(card(7)->currentIndex(), -1) << "an index outside the list blanks the selector";
    button(38)->click();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(dialogs.errors[0], QStringLiteral("Bereichsüberschreitung."));
    EXPECT_EQ(pane(Pane::Input), "");
    EXPECT_FALSE(button(41)->isEnabled());

    button(36)->click(); // Service Cipher
    EXPECT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(pane(Pane::Output), kAccepted);
    button(1)->setFocus();
    type("H");
    EXPECT_EQ(pane(Pane::Output), "5");
}

using MainWindow = FormTest;

TEST_F(MainWindow, exit_and_closing_the_window_end_the_program) {
    button(29)->click();
    EXPECT_EQ(quitRequests, 1);
    form->close();
    EXPECT_EQ(quitRequests, 2);
}

TEST_F(MainWindow, clear_all_window_starts_new_texts_from_the_current_positions) {
    type("HAL");
    const std::string at = positions();
    QTest::mouseClick(named<QWidget>("Panel1"), Qt::LeftButton);
    EXPECT_EQ(pane(Pane::Input), "");
    EXPECT_EQ(pane(Pane::Output), "");
    EXPECT_EQ(pane(Pane::Loaded), "");
    EXPECT_EQ(positions(), at);
    EXPECT_EQ(QApplication::focusWidget(), button(1)) << "the panel never takes the focus";
    type("L");
    EXPECT_EQ(pane(Pane::Input), "L");
    EXPECT_EQ(pane(Pane::Output), "Q");
}

TEST_F(MainWindow, operator_text_in_the_output_pane_stays_until_the_next_key) {
    auto* output = named<QPlainTextEdit>("Ausgabe");
    output->setFocus();
    output->moveCursor(QTextCursor::End);
    type("zz");
    EXPECT_EQ(pane(Pane::Output), kAccepted + "zz");
    button(1)->setFocus();
    type("H");
    EXPECT_EQ(pane(Pane::Output), "5");
}

} // namespace
} // namespace zelmak::test
