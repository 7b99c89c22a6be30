#include "form_fixture.h"

#include <QGroupBox>
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

// A few controls as the window's design names and places them: in the window, or in their group
// for those inside one; an empty size where the design gives only the corner.
struct Designed {
    const char* name;
    const char* caption; // nullptr: a control without a caption
    QPoint at;
    QSize size;
};

const Designed kDesigned[] = {
    {"GroupBox1", "Cipher-Disc", {24, 11}, {528, 96}},
    {"GroupBox3", "Modus", {558, 11}, {107, 96}},
    {"GroupBox2", "Cipher-Card", {670, 11}, {315, 542}},
    {"RadioButton2", "Cipher", {568, 40}, {81, 17}},
    {"RadioButton1", "Decipher", {568, 78}, {88, 17}},
    {"Button10", "&Q", {9, 152}, {53, 19}},
    {"Button1", "&I", {333, 152}, {53, 19}},
    {"Button27", "&L", {416, 174}, {53, 19}},
    {"Button34", "&Y", {74, 194}, {53, 19}},
    {"Button32", "Leerzeichen / Space Drücke hier!", {123, 218}, {222, 23}},
    {"Panel1", "Clear all Window", {8, 256}, {481, 25}},
    {"Ausgabe", nullptr, {8, 279}, {481, 114}},
    {"lade", nullptr, {8, 400}, {481, 97}},
    {"Eingabe", nullptr, {8, 504}, {481, 114}},
    {"Button35", "Save CipherCode", {496, 320}, {153, 25}},
    {"Button41", "Automatic", {496, 384}, {153, 25}},
    {"Button40", "Loade CipherCode", {496, 432}, {153, 25}},
    {"BtStart", "Run Converter", {496, 464}, {153, 25}},
    {"Button29", "Exit", {673, 574}, {100, 36}},
    {"Button33", "Help", {886, 575}, {100, 34}},
    {"ComboBoxSS1", nullptr, {8, 24}, {57, 24}},
    {"ComboBoxS5", nullptr, {264, 56}, {57, 24}},
    {"Label1", "Position the Disc", {328, 24}, {}},
    {"Label2", "Number from Disc", {328, 64}, {}},
    {"ComboBox1", nullptr, {36, 34}, {69, 26}},
    {"ComboBox17", nullptr, {195, 37}, {69, 26}},
    {"Label12", "I =", {}, {}},
    {"Label48", "3 =", {}, {}},
    {"Label4", "Y/Spc=", {}, {}},
    {"Label47", "N =", {}, {}},
    {"Button38", "Check Cipher", {}, {}},
    {"Button42", "Random Cipher", {}, {}},
};

QString captionOf(const QWidget* w) {
    if (const auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (const auto* g = qobject_cast<const QGroupBox*>(w))
        return g->title();
    if (const auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    return {};
}

TEST_F(FirstView, window_and_controls_stand_as_designed) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Zelmak add Cipher-Disc Rotation2"));
    EXPECT_EQ(form->size(), QSize(999, 630));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_FALSE(form->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    for (const Designed& d : kDesigned) {
        const auto* w = named<QWidget>(QString::fromLatin1(d.name));
        if (!w)
            continue;
        if (d.caption) {
            EXPECT_EQ(captionOf(w), QString::fromUtf8(d.caption)) << d.name;
        }
        if (!d.at.isNull()) {
            EXPECT_EQ(w->pos(), d.at) << d.name;
        }
        if (d.size.isValid()) {
            EXPECT_EQ(w->size(), d.size) << d.name;
        }
    }
    // The selectors' items: a blank and the key alphabet on the card, the alphabet for the
    // positions, the disc numbers 1 to 5.
    EXPECT_EQ(card(1)->count(), 32);
    EXPECT_EQ(card(1)->itemText(0), QString());
    EXPECT_EQ(card(1)->itemText(18), QStringLiteral("A"));
    EXPECT_EQ(position(1)->count(), 31);
    EXPECT_EQ(position(1)->itemText(17), QStringLiteral("A"));
    EXPECT_EQ(disc(1)->count(), 5);
    EXPECT_EQ(disc(1)->itemText(0), QStringLiteral("1"));
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
        pick(position(s), 17); // the operator turns every disc back to A
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
    operatorWrites(Pane::Loaded, "");
    type("q");
    EXPECT_EQ(pane(Pane::Loaded), "q");
    EXPECT_EQ(pane(Pane::Input), "");
    button(41)->click(); // "Automatic" keys what was typed
    EXPECT_EQ(pane(Pane::Input), "Q");
}

TEST_F(Accelerators, alt_clicks_the_key_whatever_has_the_focus) {
    named<QWidget>("lade")->setFocus();
    operatorWrites(Pane::Loaded, "");
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

using MainWindow = FormTest;

TEST_F(MainWindow, a_click_on_clear_all_window_empties_the_panes_and_leaves_the_focus) {
    type("HAL");
    QTest::mouseClick(named<QWidget>("Panel1"), Qt::LeftButton);
    EXPECT_EQ(pane(Pane::Input), "");
    EXPECT_EQ(pane(Pane::Output), "");
    EXPECT_EQ(pane(Pane::Loaded), "");
    EXPECT_EQ(QApplication::focusWidget(), button(1)) << "the panel never takes the focus";
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
