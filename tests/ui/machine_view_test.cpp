// The machine view: opened by Ctrl+I, it follows keys, undo, redo, "Automatic", mode changes and
// set-ups, and copies the traces of the last keys.

#include "form_fixture.h"

#include "machine/trace_csv.h"
#include "ui/machine_diagram.h"
#include "ui/machine_view.h"

#include <QAction>
#include <QClipboard>

namespace zelmak::test {
namespace {

class MachineViewTest : public FormTest {
protected:
    MachineView* open() {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_I, Qt::ControlModifier);
        auto* view = form->findChild<MachineView*>();
        EXPECT_TRUE(view && QTest::qWaitForWindowActive(view));
        return view;
    }
    // What the view shows once the window's events are handled: it follows each handler after it.
    static QString numbers(MachineView* view) {
        QCoreApplication::processEvents();
        return view->numbers();
    }
    QString copied(MachineView* view, const char* button) {
        QCoreApplication::processEvents();
        QApplication::clipboard()->clear();
        view->findChild<QPushButton*>(QString::fromLatin1(button))->click();
        return QApplication::clipboard()->text();
    }
    // The operator goes back to the main window; the view stays open beside it.
    void backToTheWindow() {
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == form.get(); }));
        button(1)->setFocus();
    }
    void undo() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier); }
    void redo() {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Y, Qt::ControlModifier);
        QCoreApplication::processEvents();
    }
};

const QString kHeader =
    QString::fromLatin1(kTraceCsvHeader.data(), static_cast<qsizetype>(kTraceCsvHeader.size()));

TEST_F(MachineViewTest, ctrl_i_opens_a_window_of_the_main_window_that_follows_every_key) {
    MachineView* view = open();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    EXPECT_FALSE(view->isModal());
    EXPECT_EQ(view->parentWidget(), form.get());
    EXPECT_TRUE(numbers(view).startsWith(QStringLiteral("No key yet")));
    EXPECT_TRUE(numbers(view).contains(QStringLiteral("Check value   MM7D2")));

    backToTheWindow();
    type("h");
    EXPECT_TRUE(numbers(view).startsWith(QStringLiteral("Last key      H   index 23   Cipher")))
        << numbers(view).toStdString();
    EXPECT_TRUE(numbers(view).contains(QStringLiteral("  slot 1       1   A   23   8 -> 16    3")));
    EXPECT_TRUE(numbers(view).contains(QStringLiteral("contact 15 passes straight through")));
    EXPECT_TRUE(numbers(view).contains(QStringLiteral("Stepped       slots 1 2")));
    EXPECT_TRUE(numbers(view).contains(QStringLiteral("1 to undo, 0 to redo")));
    ASSERT_TRUE(view->diagram()->trace().has_value());
    EXPECT_EQ(view->diagram()->trace()->output, 5);

    undo();
    EXPECT_TRUE(numbers(view).startsWith(QStringLiteral("No key yet")));
    EXPECT_TRUE(numbers(view).contains(QStringLiteral("0 to undo, 1 to redo")));
    redo();
    EXPECT_EQ(view->diagram()->trace()->keyIndex, 23);

    // A pick of the operator shows at once, beside the key's own positions.
    pick(position(4), 0);
    EXPECT_TRUE(numbers(view).contains(QStringLiteral("Positions now         S P A I A")));

    // The drawing keeps to any size the operator gives the window.
    for (const QSize size : {QSize(520, 420), QSize(1600, 1000)}) {
        view->resize(size);
        EXPECT_FALSE(view->diagram()->grab().isNull());
    }
}

TEST_F(MachineViewTest, copy_gives_one_line_per_key_also_for_a_run_of_automatic) {
    MachineView* view = open();
    backToTheWindow();
    type("hallo");
    const QString fifth = copied(view, "CopyLastKey");
    EXPECT_TRUE(fifth.startsWith(kHeader + "5,O,16,GZSAA,16,")) << fifth.toStdString();
    EXPECT_TRUE(fifth.endsWith(QStringLiteral(",23,H,12\r\n"))) << fifth.toStdString();
    EXPECT_EQ(copied(view, "CopyLastKeys").count(QStringLiteral("\r\n")), 6);

    // A run's last key, from the discs where the run began; the typed keys before it are gone
    // with their texts.
    pick(position(1), 17);
    pick(position(2), 17);
    pick(position(3), 17);
    operatorWrites(Pane::Loaded, "Hallo alle");
    button(41)->click();
    const QString last = copied(view, "CopyLastKey");
    EXPECT_TRUE(last.startsWith(kHeader + "10,E,11,Y9SPA,")) << last.toStdString();
    EXPECT_TRUE(last.endsWith(QStringLiteral(",4,12\r\n"))) << last.toStdString();
    EXPECT_EQ(copied(view, "CopyLastKeys").count(QStringLiteral("\r\n")), 11);

    std::string many(1500, 'Q');
    operatorWrites(Pane::Loaded, many);
    button(41)->click();
    const QStringList lines = copied(view, "CopyLastKeys").split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 1 + 1000 + 1); // the header, the keys, the empty end
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("501,Q,10,")));
    EXPECT_TRUE(lines[1000].startsWith(QStringLiteral("1500,Q,10,")));
}

TEST_F(MachineViewTest, each_key_keeps_its_mode_and_a_set_up_starts_empty) {
    MachineView* view = open();
    backToTheWindow();
    type("h");
    radio(1)->click(); // Decipher
    EXPECT_TRUE(numbers(view).contains(QStringLiteral("Cipher mode")));
    button(34)->click(); // the Y key
    EXPECT_TRUE(numbers(view).startsWith(QStringLiteral("Last key      Y   index 27   Decipher")));
    EXPECT_TRUE(copied(view, "CopyLastKeys").contains(QStringLiteral("\r\n1,H,23,AAAAA,")));

    // A set-up that shows no new text or position: a new history, and no accepted setting.
    button(42)->click(); // Random Cipher
    EXPECT_TRUE(numbers(view).startsWith(QStringLiteral("No key yet")));
    EXPECT_TRUE(numbers(view).contains(QStringLiteral("none (no accepted setting)")));
    EXPECT_FALSE(view->findChild<QPushButton*>(QStringLiteral("CopyLastKey"))->isEnabled());
}

} // namespace
} // namespace zelmak::test
