// The window driven through real key and mouse events on its controls, as an operator drives it.
#include "form_fixture.h"
#include "temp_dir.h"

#include <QPlainTextEdit>

namespace zelmak::test {
namespace {

const std::string kAccepted = "Cipher-Card o.k !!\r\nCipher-Disc o.k. \r\n";

// --- Tab and Shift+Tab ---------------------------------------------------------------------

struct TabCase {
    const char* from;
    bool backwards;
    const char* to;
};

class TabKey : public FormTest, public ::testing::WithParamInterface<TabCase> {};

TEST_P(TabKey, moves_the_focus_on_from_a_pane_and_leaves_its_text) {
    const TabCase& c = GetParam();
    named<QWidget>(c.from)->setFocus();
    const std::string output = pane(Pane::Ausgabe);
    const std::string loaded = pane(Pane::Lade);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab,
                    c.backwards ? Qt::ShiftModifier : Qt::NoModifier);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QString::fromLatin1(c.to));
    EXPECT_EQ(pane(Pane::Ausgabe), output);
    EXPECT_EQ(pane(Pane::Lade), loaded);
}

INSTANTIATE_TEST_SUITE_P(
    Panes, TabKey,
    ::testing::Values(TabCase{"Ausgabe", false, "ComboBoxSS1"},
                      TabCase{"Ausgabe", true, "Button33"}, TabCase{"lade", false, "Button35"},
                      TabCase{"lade", true, "RadioButton1"}, TabCase{"Eingabe", true, "Button39"}),
    [](const auto& row) {
        return std::string(row.param.from) + (row.param.backwards ? "_shift_tab" : "_tab");
    });

TEST_F(FormTest, a_tab_pressed_in_the_output_pane_never_reaches_the_saved_file) {
    TempDir dir;
    auto* output = named<QPlainTextEdit>("Ausgabe");
    output->setFocus();
    output->moveCursor(QTextCursor::End);
    type("zz");
    QTest::keyClick(output, Qt::Key_Tab);
    dialogs.saveAnswers << QString::fromStdString(dir.file("message"));
    button(35)->click();
    const std::string saved = readFile(dir.file("message.cif"));
    EXPECT_EQ(saved, kAccepted + "zz");
    EXPECT_EQ(saved.find('\t'), std::string::npos);
}

// --- Alt with a character that no key carries ----------------------------------------------

TEST_F(FormTest, alt_with_a_character_no_key_carries_does_nothing_wherever_the_focus_is) {
    form->showText(Pane::Lade, "");
    for (const char* target : {"lade", "Ausgabe", "ComboBox5", "Button36"}) {
        auto* focused = named<QWidget>(target);
        focused->setFocus();
        if (auto* text = qobject_cast<QPlainTextEdit*>(focused))
            text->moveCursor(QTextCursor::End);
        type("wjx01.", Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), focused) << target;
    }
    EXPECT_EQ(pane(Pane::Lade), "");
    EXPECT_EQ(pane(Pane::Ausgabe), kAccepted);
    EXPECT_EQ(pane(Pane::Eingabe), "");
    EXPECT_EQ(card(5)->currentIndex(), 5);
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

} // namespace
} // namespace zelmak::test
