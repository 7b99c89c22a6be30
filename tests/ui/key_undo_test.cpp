// Undo and redo of keys in the window, the context menu, the loaded-text pane's own undo, the
// check value on "Check Cipher", and what a screen reader is told.

#include "form_fixture.h"
#include "pane_layout.h"

#include "temp_dir.h"
#include "ui/run_pane.h"
#include "ui/text_undo.h"

#include <QAccessible>
#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPlainTextEdit>

#include <functional>

#include <vector>

namespace zelmak::test {
namespace {

class KeyUndo : public FormTest {
protected:
    static void undo(QWidget* w = nullptr) { press(w, Qt::Key_Z, Qt::ControlModifier); }
    static void redo(QWidget* w = nullptr) {
        press(w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    }
    static void press(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods) {
        QTest::keyClick(w ? w : QApplication::focusWidget(), key, mods);
    }
    // The window's own action of this name, and the context menu of its background.
    QAction* action(const QString& text) const {
        for (QAction* a : form->actions())
            if (a->text() == text)
                return a;
        ADD_FAILURE() << "no action " << text.toStdString();
        return nullptr;
    }
    static QMenu* windowMenu() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QStringLiteral("WindowMenu"))
                return qobject_cast<QMenu*>(w);
        return nullptr;
    }
};

TEST_F(KeyUndo, ctrl_z_takes_keys_back_and_the_worked_example_still_comes_out) {
    type("hallo");
    undo();
    undo();
    EXPECT_EQ(pane(Pane::Input), "HAL");
    EXPECT_EQ(pane(Pane::Output), "5M5");
    EXPECT_EQ(positions(), "FUAAA");
    type("lo");
    button(32)->click();
    type("alle");
    EXPECT_EQ(pane(Pane::Output), "5M5QHAI6Y4");
    EXPECT_EQ(positions(), "C8SPA");
    redo(); // the keys taken back were typed over: nothing to do again
    EXPECT_EQ(pane(Pane::Output), "5M5QHAI6Y4");

    undo();
    press(nullptr, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(pane(Pane::Output), "5M5QHAI6Y4");
    EXPECT_EQ(positions(), "C8SPA");
}

// The operator's edit of the output pane is taken back there, not a machine key.
TEST_F(KeyUndo, in_the_output_pane_the_undo_keys_take_back_the_operators_edit) {
    QTest::mouseClick(named<QWidget>("Panel1"), Qt::LeftButton);
    type("qqq");
    ASSERT_EQ(pane(Pane::Output), "IDM");
    const std::string discs = positions();
    auto* output = named<RunPane>("Ausgabe");
    output->setFocus();
    QTest::keyClick(output, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(output, "abc");
    ASSERT_EQ(output->text8(), "IDMabc");

    undo(output);
    EXPECT_EQ(output->text8(), "IDM");
    EXPECT_EQ(pane(Pane::Input), "QQQ");
    EXPECT_EQ(positions(), discs);
    press(output, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(output->text8(), "IDMabc");

    // From the window's background the key history answers.
    undo(form.get());
    EXPECT_EQ(pane(Pane::Input), "QQ");
    EXPECT_EQ(output->text8(), "ID");
}

TEST_F(KeyUndo, context_menu_shows_the_shortcuts_and_enables_what_can_act) {
    QMenu* menu = windowMenu();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    QStringList texts;
    for (QAction* a : actions)
        if (!a->isSeparator())
            texts << a->text() + QLatin1Char('\t') + a->shortcut().toString();
    EXPECT_EQ(texts, (QStringList{"Undo key\tCtrl+Z", "Redo key\tCtrl+Shift+Z",
                                  QStringLiteral("Machine view…\tCtrl+I"),
                                  QStringLiteral("Break a message…\tCtrl+B"),
                                  QStringLiteral("Statistics…\tCtrl+T")}));
    QAction* undoKey = action(QStringLiteral("Undo key"));
    QAction* redoKey = action(QStringLiteral("Redo key"));
    ASSERT_TRUE(undoKey && redoKey);
    EXPECT_FALSE(undoKey->isEnabled());
    EXPECT_FALSE(redoKey->isEnabled());
    EXPECT_TRUE(action(QStringLiteral("Machine view…"))->isEnabled());

    type("h");
    EXPECT_TRUE(undoKey->isEnabled());
    undo();
    EXPECT_FALSE(undoKey->isEnabled());
    EXPECT_TRUE(redoKey->isEnabled());

    // A right click on the window's background opens it, without waiting for a choice.
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(600, 600),
                            form->mapToGlobal(QPoint(600, 600)));
    QApplication::sendEvent(form.get(), &click);
    EXPECT_TRUE(menu->isVisible());
    menu->close();
}

TEST_F(KeyUndo, ctrl_z_in_the_loaded_text_pane_is_its_own_text_undo) {
    type("h");
    auto* loaded = named<RunPane>("lade");
    loaded->setFocus();
    QTest::keyClick(loaded, Qt::Key_End, Qt::ControlModifier);
    // Long enough to wrap at a blank, which the pane re-cuts after the key.
    type("wir treffen uns heute um neun am bahnhof und gehen dann alle zusammen an den see zum "
         "baden");
    press(loaded, Qt::Key_Backspace, Qt::NoModifier);
    press(loaded, Qt::Key_Backspace, Qt::NoModifier);
    const std::string typed =
        "Load\r\nwir treffen uns heute um neun am bahnhof und gehen dann alle zusammen an den see "
        "zum bad";
    ASSERT_EQ(loaded->text8(), typed);
    ASSERT_GE(zelmak::test::lineCount(*loaded), 2) << "the typed line wraps";

    undo(loaded);
    EXPECT_EQ(loaded->text8(), typed + "en");
    undo(loaded);
    EXPECT_EQ(loaded->text8(), "Load\r\n");
    EXPECT_EQ(pane(Pane::Input), "H") << "the key stays";
    redo(loaded);
    EXPECT_EQ(loaded->text8(), typed + "en");
    EXPECT_EQ(loaded->textCursor().position(), loaded->document()->characterCount() - 1);

    // The pane's own menu offers the same.
    undo(loaded);
    auto* textUndo = loaded->findChild<TextUndo*>();
    ASSERT_NE(textUndo, nullptr);
    std::unique_ptr<QMenu> menu(textUndo->editMenu(QPoint(5, 5)));
    QAction* menuUndo = menu->findChild<QAction*>(QStringLiteral("edit-undo"));
    QAction* menuRedo = menu->findChild<QAction*>(QStringLiteral("edit-redo"));
    ASSERT_TRUE(menuUndo && menuRedo);
    EXPECT_FALSE(menuUndo->isEnabled());
    EXPECT_TRUE(menuRedo->isEnabled());
    menuRedo->trigger();
    EXPECT_EQ(loaded->text8(), typed + "en");

    // A loaded text starts the pane's history anew.
    form->showText(Pane::Loaded, "QQQ");
    undo(loaded);
    EXPECT_EQ(loaded->text8(), "QQQ");

    // The caret comes back where the edit was taken back, also after a line break.
    QTest::keyClick(loaded, Qt::Key_End, Qt::ControlModifier);
    press(loaded, Qt::Key_Return, Qt::NoModifier);
    type("ab");
    press(loaded, Qt::Key_Return, Qt::NoModifier);
    type("cd");
    undo(loaded);
    EXPECT_EQ(loaded->text8(), "QQQ\r\nab\r\n");
    type("x");
    EXPECT_EQ(loaded->text8(), "QQQ\r\nab\r\nx");
}

TEST_F(KeyUndo, check_cipher_carries_the_check_value_of_the_accepted_setting) {
    QPushButton* check = button(38);
    EXPECT_TRUE(check->toolTip().endsWith(QStringLiteral("MM7D2")));
    EXPECT_EQ(check->accessibleDescription(), check->toolTip());

    TempDir dir;
    std::string reversed;
    for (int k = 31; k >= 1; --k)
        reversed.push_back(static_cast<char>(k));
    reversed += std::string{4, 3, 2, 1, 0};
    writeFile(dir.file("reversed.key"), reversed);
    dialogs.openAnswers << QString::fromStdString(dir.file("reversed.key"));
    button(39)->click();
    EXPECT_TRUE(check->toolTip().isEmpty()) << "no setting is accepted until it is checked";
    check->click();
    EXPECT_TRUE(check->toolTip().endsWith(QStringLiteral("RTD4T")));
    EXPECT_EQ(pane(Pane::Output), "Cipher-Card o.k !!\r\nCipher-Disc o.k. \r\n")
        << "the value is never written into the output";
}

// What the accessibility layer is told, as a screen reader would hear it.
struct Heard {
    QAccessible::Event type;
    QString object;
    QString text;
};
std::vector<Heard>* g_heard = nullptr;

void listen(QAccessibleEvent* event) {
    if (!g_heard)
        return;
    QString text;
    if (event->type() == QAccessible::TextInserted)
        text = static_cast<QAccessibleTextInsertEvent*>(event)->textInserted();
    else if (event->type() == QAccessible::TextRemoved)
        text = static_cast<QAccessibleTextRemoveEvent*>(event)->textRemoved();
    else if (event->type() == QAccessible::ValueChanged)
        text = static_cast<QAccessibleValueChangeEvent*>(event)->value().toString();
    else if (event->type() == QAccessible::NameChanged && event->accessibleInterface())
        text = event->accessibleInterface()->text(QAccessible::Name);
    else
        return;
    g_heard->push_back(
        {event->type(), event->object() ? event->object()->objectName() : QString(), text});
}

// Qt passes accessibility events on only while an assistive technology listens, which the
// offscreen platform never has: tests/e2e/accessibility.sh runs this under X with the desktop's
// accessibility bus and ZELMAK_EXPECT_ACCESSIBILITY set. Each change must be told once: a screen
// reader keeps its own copy of the text and would go wrong on a change told twice.
TEST_F(KeyUndo, output_symbols_disc_moves_and_verdicts_are_announced) {
    const bool expected = qEnvironmentVariableIsSet("ZELMAK_EXPECT_ACCESSIBILITY");
    if (expected)
        (void)QTest::qWaitFor([] { return QAccessible::isActive(); }, 10000);
    if (!QAccessible::isActive()) {
        ASSERT_FALSE(expected) << "no assistive technology bus: accessibility stayed off";
        GTEST_SKIP() << "accessibility is off on this platform; e2e_accessibility runs this test";
    }
    std::vector<Heard> heard;
    g_heard = &heard;
    const auto old = QAccessible::installUpdateHandler(listen);
    // What was told since the last look, of one kind and one control; empty texts left out.
    const auto told = [&heard](QAccessible::Event type, const QString& object) {
        QStringList texts;
        for (const Heard& h : heard)
            if (h.type == type && h.object == object && !h.text.isEmpty())
                texts << h.text;
        return texts;
    };
    const auto step = [&heard](const std::function<void()>& action) {
        heard.clear();
        action();
    };

    step([] { type("h"); });
    EXPECT_EQ(told(QAccessible::TextInserted, "Ausgabe"), QStringList{"5"});
    EXPECT_EQ(told(QAccessible::TextInserted, "Eingabe"), QStringList{"H"});
    EXPECT_EQ(told(QAccessible::ValueChanged, "ComboBoxSS1"), QStringList{"S"});
    EXPECT_EQ(told(QAccessible::ValueChanged, "ComboBoxSS2"), QStringList{"P"});
    EXPECT_EQ(told(QAccessible::ValueChanged, "ComboBoxSS3"), QStringList{});

    step([] { type("a"); });
    EXPECT_EQ(told(QAccessible::TextInserted, "Ausgabe"), QStringList{"M"});
    EXPECT_EQ(told(QAccessible::TextRemoved, "Ausgabe"), QStringList{});

    step([] { undo(); });
    const QStringList removed = told(QAccessible::TextRemoved, "Ausgabe");
    ASSERT_EQ(removed.size(), 1);
    EXPECT_EQ(removed[0].size(), 1) << "one symbol goes";
    EXPECT_EQ(told(QAccessible::TextInserted, "Ausgabe"), QStringList{});
    EXPECT_EQ(told(QAccessible::ValueChanged, "ComboBoxSS1"), QStringList{"S"});
    EXPECT_EQ(told(QAccessible::NameChanged, "Announcement"), QStringList{"Key A taken back"});
    step([] { redo(); });
    EXPECT_EQ(told(QAccessible::NameChanged, "Announcement"), QStringList{"Key A done again"});
    step([] { undo(); });

    // The verdict of a check comes as one new text of the output pane, both lines at once.
    step([this] { button(38)->click(); });
    const QStringList verdict = told(QAccessible::TextInserted, "Ausgabe");
    ASSERT_EQ(verdict.size(), 1) << verdict.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(verdict[0].startsWith(QStringLiteral("Cipher-Card o.k !!")));
    EXPECT_TRUE(verdict[0].contains(QStringLiteral("Cipher-Disc o.k. ")));
    EXPECT_EQ(told(QAccessible::ValueChanged, "ComboBoxSS1"), QStringList{"A"});

    QAccessible::installUpdateHandler(old);
    g_heard = nullptr;
}

} // namespace
} // namespace zelmak::test
