// The window driven through real key and mouse events on its controls, as an operator drives it.
#include "form_fixture.h"
#include "temp_dir.h"

#include <QAbstractItemView>
#include <QPlainTextEdit>
#include <QStyleHints>

namespace zelmak::test {
namespace {

const std::string kAccepted = "Cipher-Card o.k !!\r\nCipher-Disc o.k. \r\n";

// An operator's pick in a selector: through the keyboard or the mouse.
enum class Pick { ArrowKey, TypedLetter, Mouse };

void operatorPicks(QComboBox* box, int item, Pick how) {
    switch (how) {
    case Pick::ArrowKey: {
        box->setFocus();
        const int steps = item - box->currentIndex();
        for (int i = 0; i < std::abs(steps); ++i)
            QTest::keyClick(box, steps > 0 ? Qt::Key_Down : Qt::Key_Up);
        break;
    }
    case Pick::TypedLetter:
        box->setFocus();
        QTest::keyClicks(box, box->itemText(item).toLower());
        break;
    case Pick::Mouse: {
        // The popup takes no release within a double-click time of the press that opened it.
        QStyleHints* hints = QGuiApplication::styleHints();
        const int interval = hints->mouseDoubleClickInterval();
        hints->setMouseDoubleClickInterval(1);
        QTest::mouseClick(box, Qt::LeftButton);
        QAbstractItemView* list = box->view();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(list->window()));
        const QModelIndex index = list->model()->index(item, 0);
        // A busy machine may show the list before it has laid out and scrolled to the item, and
        // an item at the list's edge would be scrolled into full view by the press, so that the
        // release falls on its neighbour.
        list->doItemsLayout();
        list->scrollTo(index, QAbstractItemView::PositionAtCenter);
        QTest::qWait(20);
        // An item may be wider than the narrow list; its left half is always in view.
        const auto at = [&] {
            return QPoint(list->viewport()->width() / 4, list->visualRect(index).center().y());
        };
        EXPECT_TRUE(QTest::qWaitFor([&] { return list->indexAt(at()) == index; }))
            << "item " << item << " never came under the pointer";
        // A click the popup takes too early (a busy machine) leaves it open: click again.
        for (int tries = 0; tries < 20 && list->window()->isVisible(); ++tries) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at());
            (void)QTest::qWaitFor([&] { return !list->window()->isVisible(); }, 100);
        }
        hints->setMouseDoubleClickInterval(interval);
        break;
    }
    }
    ASSERT_EQ(box->currentIndex(), item) << box->objectName().toStdString();
}

std::string pickName(Pick how) {
    switch (how) {
    case Pick::ArrowKey:
        return "arrow_key";
    case Pick::TypedLetter:
        return "typed_letter";
    case Pick::Mouse:
        return "mouse";
    }
    return {};
}

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
    const std::string output = pane(Pane::Output);
    const std::string loaded = pane(Pane::Loaded);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab,
                    c.backwards ? Qt::ShiftModifier : Qt::NoModifier);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QString::fromLatin1(c.to));
    EXPECT_EQ(pane(Pane::Output), output);
    EXPECT_EQ(pane(Pane::Loaded), loaded);
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
    operatorWrites(Pane::Loaded, "");
    for (const char* target : {"lade", "Ausgabe", "ComboBox5", "Button36"}) {
        auto* focused = named<QWidget>(target);
        focused->setFocus();
        if (auto* text = qobject_cast<QPlainTextEdit*>(focused))
            text->moveCursor(QTextCursor::End);
        type("wjx01.", Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), focused) << target;
    }
    EXPECT_EQ(pane(Pane::Loaded), "");
    EXPECT_EQ(pane(Pane::Output), kAccepted);
    EXPECT_EQ(pane(Pane::Input), "");
    EXPECT_EQ(card(5)->currentIndex(), 5);
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

// --- Picks in the selectors ----------------------------------------------------------------

class PositionPick : public FormTest, public ::testing::WithParamInterface<Pick> {};

TEST_P(PositionPick, runs_nothing_and_the_next_key_starts_from_it) {
    // Operator text in the output pane would be gone after a setting check.
    auto* output = named<QPlainTextEdit>("Ausgabe");
    output->setFocus();
    output->moveCursor(QTextCursor::End);
    type("zz");

    // Where the worked example stands after its first key, H.
    operatorPicks(position(1), 18, GetParam()); // S
    operatorPicks(position(2), 16, GetParam()); // P
    EXPECT_EQ(positions(), "SPAAA") << "no set-up turned the discs back to A";
    EXPECT_EQ(pane(Pane::Output), kAccepted + "zz") << "no setting check ran";

    // The second key of the worked example, from there.
    button(1)->setFocus();
    type("A");
    EXPECT_EQ(pane(Pane::Output), "M");
    EXPECT_EQ(positions(), "DOAAA");
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Operator, PositionPick,
                         ::testing::Values(Pick::ArrowKey, Pick::TypedLetter, Pick::Mouse),
                         [](const auto& row) { return pickName(row.param); });

struct SettingPickCase {
    const char* selector;
    int item;
    Pick how;
    const char* verdict;
};

class SettingPick : public FormTest, public ::testing::WithParamInterface<SettingPickCase> {};

TEST_P(SettingPick, runs_the_setting_check) {
    const SettingPickCase& c = GetParam();
    type("HAL");
    ASSERT_NE(positions(), "AAAAA");
    operatorPicks(named<QComboBox>(c.selector), c.item, c.how);
    EXPECT_EQ(pane(Pane::Output), c.verdict);
    EXPECT_EQ(pane(Pane::Input), "") << "the check empties the input pane";
    EXPECT_FALSE(form->session().machine().ready());
    EXPECT_FALSE(button(37)->isEnabled());
}

const char* const kCardRejected = "Error Cipher-Card!\r\n";
const char* const kDiscsRejected = "Cipher-Card o.k !!\r\nError Cipher-Disc !!\r\n";

INSTANTIATE_TEST_SUITE_P(
    Operator, SettingPick,
    ::testing::Values(SettingPickCase{"ComboBox1", 2, Pick::ArrowKey, kCardRejected},
                      SettingPickCase{"ComboBox1", 2, Pick::TypedLetter, kCardRejected},
                      SettingPickCase{"ComboBox1", 2, Pick::Mouse, kCardRejected},
                      SettingPickCase{"ComboBoxS2", 0, Pick::ArrowKey, kDiscsRejected},
                      SettingPickCase{"ComboBoxS2", 0, Pick::TypedLetter, kDiscsRejected},
                      SettingPickCase{"ComboBoxS2", 0, Pick::Mouse, kDiscsRejected}),
    [](const auto& row) {
        return std::string(row.param.selector) + "_" + pickName(row.param.how);
    });

} // namespace
} // namespace zelmak::test
