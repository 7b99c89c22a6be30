#include "pane_layout.h"
#include "ui/run_pane.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using zelmak::RunPane;

namespace {

using namespace zelmak::test;

using RunPaneTest = PaneTest;

struct RoundTrip {
    const char* name;
    std::string input;
    std::string expected;
};

void PrintTo(const RoundTrip& row, std::ostream* out) {
    *out << row.name;
}

// Text with blanks, where the blanks at the end of a line hang past it.
std::string words() {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += i % 3 == 0 ? "Cipher-Card o.k !!   " : "Ausgabe  ";
    return text;
}

class RunPaneRoundTrip : public RunPaneTest, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(RunPaneRoundTrip, shown_text_reads_back_with_crlf_breaks_on_every_path) {
    const RoundTrip& row = GetParam();
    pane.showText(row.input);
    EXPECT_EQ(pane.text8(), row.expected) << "on an empty pane";
    EXPECT_TRUE(cutToFit(pane));

    pane.showText("something else");
    pane.showText(row.input);
    EXPECT_EQ(pane.text8(), row.expected) << "rebuilt over other text";

    pane.clearText();
    pane.showText(row.input.substr(0, row.input.size() / 2));
    pane.showText(row.input);
    EXPECT_EQ(pane.text8(), row.expected) << "extended from its first half";
    EXPECT_TRUE(cutToFit(pane));

    // An edit of the operator that leaves the text as it was.
    QTest::keyClick(&pane, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(&pane, "Q");
    QTest::keyClick(&pane, Qt::Key_Backspace);
    EXPECT_EQ(pane.text8(), row.expected) << "after an edit";
    EXPECT_TRUE(cutToFit(pane));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RunPaneRoundTrip,
    ::testing::Values(RoundTrip{"symbols", "I23Q_N", "I23Q_N"},
                      RoundTrip{"crlf_lines", "AB\r\nCD\r\nEF", "AB\r\nCD\r\nEF"},
                      RoundTrip{"lone_cr", "AB\rCD", "AB\r\nCD"},
                      RoundTrip{"lone_lf", "AB\nCD", "AB\r\nCD"},
                      RoundTrip{"lf_cr_is_two_breaks", "AB\n\rCD", "AB\r\n\r\nCD"},
                      RoundTrip{"trailing_break", "AB\r\n", "AB\r\n"},
                      RoundTrip{"only_breaks", "\r\n\n\r", "\r\n\r\n\r\n"},
                      RoundTrip{"empty_lines", "A\r\n\r\n\r\nB", "A\r\n\r\n\r\nB"},
                      RoundTrip{"empty", "", ""},
                      RoundTrip{"bytes_128_to_255", bytesFrom(128, 255), bytesFrom(128, 255)},
                      RoundTrip{"bytes_1_to_127", bytesFrom(1, 127), bytesFrom(1, 127)},
                      RoundTrip{"nul_byte", std::string("A\0B", 3), std::string("A\0B", 3)},
                      RoundTrip{"blanks_and_tabs", "  A\t\tB    C  ", "  A\t\tB    C  "},
                      RoundTrip{"words", words(), words()},
                      RoundTrip{"long_runs", run(3000) + "\r\n" + run(900, 2) + "\n",
                                run(3000) + "\r\n" + run(900, 2) + "\r\n"}),
    [](const ::testing::TestParamInfo<RoundTrip>& row) { return std::string(row.param.name); });

TEST_F(RunPaneTest, symbol_by_symbol_cuts_the_same_lines_as_the_whole_text_at_once) {
    const std::string text = run(1500);
    for (std::size_t n = 1; n <= text.size(); ++n)
        pane.showText(std::string_view(text).substr(0, n));
    ASSERT_EQ(pane.text8(), text);
    EXPECT_GT(lineCount(pane), 20);
    EXPECT_TRUE(cutToFit(pane));
    const auto appended = lineTexts(pane);
    pane.clearText();
    pane.showText(text);
    EXPECT_EQ(lineTexts(pane), appended);
}

TEST_F(RunPaneTest, symbols_taken_back_leave_the_lines_of_the_shorter_text) {
    const std::string text = run(1500);
    pane.showText(text);
    for (std::size_t n = text.size(); n-- > 0;) {
        pane.showText(std::string_view(text).substr(0, n));
        if (n % 97 != 0 && n > 3)
            continue;
        ASSERT_EQ(pane.text8(), text.substr(0, n));
        const auto shrunk = lineTexts(pane);
        pane.clearText();
        pane.showText(std::string_view(text).substr(0, n));
        ASSERT_EQ(lineTexts(pane), shrunk) << n << " symbols left";
    }
    // Taking one symbol back touches only the end of the document.
    pane.showText(text);
    QSignalSpy changes(pane.document(), &QTextDocument::contentsChange);
    pane.showText(std::string_view(text).substr(0, text.size() - 1));
    ASSERT_EQ(changes.size(), 1);
    EXPECT_LE(changes[0][1].toInt(), 2) << "removed";
    EXPECT_EQ(changes[0][2].toInt(), 0) << "added";

    // A prefix that ends where a hard break was, and one after an operator's edit, are shown
    // anew as any other text.
    pane.showText("AB\r\nCD");
    pane.showText("AB\r\n");
    EXPECT_EQ(pane.text8(), "AB\r\n");
    pane.showText("AB");
    EXPECT_EQ(pane.text8(), "AB");
    QTest::keyClicks(&pane, "Z");
    pane.showText("A");
    EXPECT_EQ(pane.text8(), "A");
}

TEST_F(RunPaneTest, crlf_split_over_two_texts_makes_one_break) {
    pane.showText("AB\r");
    pane.showText("AB\r\nC");
    EXPECT_EQ(pane.text8(), "AB\r\nC");
    EXPECT_EQ(pane.document()->toPlainText(), QStringLiteral("AB\nC"));
    pane.showText("AB\r\nC\r");
    pane.showText("AB\r\nC\r\r");
    EXPECT_EQ(pane.text8(), "AB\r\nC\r\n\r\n");
}

TEST_F(RunPaneTest, text_that_does_not_extend_the_pane_replaces_it) {
    pane.showText("ABCDEF");
    pane.showText("ABX");
    EXPECT_EQ(pane.text8(), "ABX");
    pane.showText("");
    EXPECT_EQ(pane.text8(), "");
    pane.clearText();
    pane.showText("Q");
    EXPECT_EQ(pane.text8(), "Q");

    // After the operator's edit the pane is rewritten from the program's text.
    const std::string text = run(400);
    pane.showText(text);
    placeCaret(0);
    QTest::keyClicks(&pane, "Z");
    ASSERT_EQ(pane.text8(), "Z" + text);
    pane.showText(text + "N");
    EXPECT_EQ(pane.text8(), text + "N");
    EXPECT_TRUE(cutToFit(pane));
}

TEST_F(RunPaneTest, appended_lines_end_in_crlf_and_start_a_line_of_their_own) {
    pane.clearText();
    pane.appendLine("Cipher-Card o.k !!");
    pane.appendLine("Cipher-Disc o.k. ");
    EXPECT_EQ(pane.text8(), "Cipher-Card o.k !!\r\nCipher-Disc o.k. \r\n");
    pane.clearText();
    pane.appendLine("");
    EXPECT_EQ(pane.text8(), "\r\n");
    pane.showText("AB");
    pane.appendLine("C");
    EXPECT_EQ(pane.text8(), "AB\r\nC\r\n");
    // A key after the check's lines rewrites the pane with the whole text.
    pane.showText("K5Y");
    EXPECT_EQ(pane.text8(), "K5Y");
}

TEST_F(RunPaneTest, typing_into_a_soft_cut_run_follows_the_text_and_recuts_it) {
    std::string text = run(600);
    pane.showText(text);
    const int inside = line(3).position + 2;
    const int logical = inside - 3; // three soft breaks before it
    placeCaret(inside);
    QTest::keyClicks(&pane, "QQQ");
    text.insert(static_cast<std::size_t>(logical), "QQQ");
    EXPECT_EQ(pane.text8(), text);
    EXPECT_TRUE(cutToFit(pane));
    QTest::keyClicks(&pane, "WW"); // the caret stayed behind what was typed
    text.insert(static_cast<std::size_t>(logical) + 3, "WW");
    EXPECT_EQ(pane.text8(), text);
}

TEST_F(RunPaneTest, keys_at_a_soft_break_act_on_the_symbols_beside_it) {
    const std::string text = run(500);
    pane.showText(text);
    const int firstLength = static_cast<int>(line(0).text.size());
    const auto length = static_cast<std::size_t>(firstLength);

    placeCaret(line(1).position);
    QTest::keyClick(&pane, Qt::Key_Backspace);
    EXPECT_EQ(pane.text8(), text.substr(0, length - 1) + text.substr(length));

    pane.showText(text);
    placeCaret(line(0).position + firstLength);
    QTest::keyClick(&pane, Qt::Key_Delete);
    EXPECT_EQ(pane.text8(), text.substr(0, length) + text.substr(length + 1));

    pane.showText(text);
    placeCaret(line(1).position);
    QTest::keyClick(&pane, Qt::Key_Left);
    QTest::keyClicks(&pane, "8");
    EXPECT_EQ(pane.text8(), text.substr(0, length - 1) + "8" + text.substr(length - 1));

    // A symbol typed at the end of a full line moves to the next one, and the caret with it.
    pane.showText(text);
    placeCaret(line(0).position + firstLength);
    QTest::keyClicks(&pane, "MMM");
    EXPECT_EQ(pane.text8(), text.substr(0, length) + "MMM" + text.substr(length));
    EXPECT_TRUE(cutToFit(pane));
}

struct EnterRow {
    const char* name;
    bool acceptsReturn;
    bool readOnly;
    Qt::KeyboardModifiers modifiers;
    bool breaks;
};

void PrintTo(const EnterRow& row, std::ostream* out) {
    *out << row.name;
}

class RunPaneEnter : public RunPaneTest, public ::testing::WithParamInterface<EnterRow> {};

TEST_P(RunPaneEnter, enter_makes_a_hard_break_only_where_the_pane_takes_it) {
    const EnterRow& row = GetParam();
    const std::string text = run(300);
    pane.setAcceptsReturn(row.acceptsReturn);
    pane.setReadOnly(row.readOnly);
    pane.showText(text);
    placeCaret(line(5).position + 1);
    const int logical = line(5).position + 1 - 5; // five soft breaks before it
    QTest::keyClick(&pane, Qt::Key_Return, row.modifiers);
    const auto at = static_cast<std::size_t>(logical);
    const std::string expected = row.breaks ? text.substr(0, at) + "\r\n" + text.substr(at) : text;
    EXPECT_EQ(pane.text8(), expected);
    EXPECT_TRUE(cutToFit(pane));

    // At the start of a continuation line the break falls between the two lines' symbols.
    pane.showText(text);
    const int seam = line(2).position;
    placeCaret(seam);
    QTest::keyClick(&pane, Qt::Key_Enter, row.modifiers);
    const auto seamLogical = static_cast<std::size_t>(seam - 2);
    EXPECT_EQ(pane.text8(),
              row.breaks ? text.substr(0, seamLogical) + "\r\n" + text.substr(seamLogical) : text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RunPaneEnter,
    ::testing::Values(EnterRow{"accepted", true, false, Qt::NoModifier, true},
                      EnterRow{"accepted_with_shift", true, false, Qt::ShiftModifier, true},
                      EnterRow{"refused", false, false, Qt::NoModifier, false},
                      EnterRow{"refused_with_shift", false, false, Qt::ShiftModifier, false},
                      EnterRow{"read_only", true, true, Qt::NoModifier, false}),
    [](const ::testing::TestParamInfo<EnterRow>& row) { return std::string(row.param.name); });

TEST_F(RunPaneTest, copy_leaves_soft_breaks_out_and_gives_hard_ones_as_line_feeds) {
    const std::string text = run(500);
    pane.showText(text + "\r\nABC");
    ASSERT_GT(lineCount(pane), 5);
    pane.selectAll();
    pane.copy();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), text + "\nABC");

    QTextCursor selection(pane.document());
    selection.setPosition(line(0).position + 3);
    selection.setPosition(line(4).position + 2, QTextCursor::KeepAnchor);
    pane.setTextCursor(selection);
    pane.copy();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              text.substr(3, static_cast<std::size_t>(line(4).position + 2 - 4 - 3)));
}

TEST_F(RunPaneTest, paste_breaks_lines_and_turns_foreign_characters_into_question_marks) {
    pane.showText("ABCD");
    placeCaret(2);
    QApplication::clipboard()->setText(QStringLiteral("x\r\ny\nz\r") + QChar(0x0119));
    pane.paste();
    QApplication::processEvents();
    EXPECT_EQ(pane.text8(), "ABx\r\ny\r\nz\r\n?CD");
    EXPECT_TRUE(cutToFit(pane));

    // Into the middle of a soft-cut run: the rest of the run follows the pasted lines.
    const std::string text = run(500);
    pane.showText(text);
    const int inside = line(2).position + 3;
    placeCaret(inside);
    QApplication::clipboard()->setText(QStringLiteral("x\ny"));
    pane.paste();
    QApplication::processEvents();
    const auto at = static_cast<std::size_t>(inside - 2);
    EXPECT_EQ(pane.text8(), text.substr(0, at) + "x\r\ny" + text.substr(at));
    EXPECT_TRUE(cutToFit(pane));
}

TEST_F(RunPaneTest, changes_that_do_not_come_by_key_are_recut_once_events_run) {
    std::string text = run(800);
    pane.showText(text);
    const auto select = [&](int number, int length) {
        QTextCursor selection(pane.document());
        selection.setPosition(line(number).position + 1);
        selection.setPosition(line(number).position + 1 + length, QTextCursor::KeepAnchor);
        pane.setTextCursor(selection);
        return static_cast<std::size_t>(line(number).position + 1 - number);
    };
    // Both changes wait for the event loop; the second one, before the first, leaves the cut
    // as it was, so only the first one's range makes the pane re-cut the end of the run.
    text.erase(select(10, 3), 3);
    pane.cut();
    const QString same = line(2).text.mid(1, 1);
    select(2, 1);
    pane.insertPlainText(same);
    QApplication::processEvents();
    EXPECT_EQ(pane.text8(), text);
    EXPECT_TRUE(cutToFit(pane));
}

TEST_F(RunPaneTest, typed_characters_without_a_latin1_form_become_question_marks) {
    pane.showText("AB");
    for (const char16_t c : {char16_t{0x0119}, char16_t{0xe9}}) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(c)));
        QApplication::sendEvent(&pane, &key);
    }
    QInputMethodEvent committed;
    committed.setCommitString(QString(QChar(0x0119)));
    QApplication::sendEvent(&pane, &committed);
    EXPECT_EQ(pane.text8(), "AB?\xe9?");
    EXPECT_EQ(pane.document()->toPlainText(), QString::fromLatin1("AB?\xe9?")) << "as shown";
}

// An input method reports each change over the whole block, the end of the document included.
TEST_F(RunPaneTest, an_input_method_changes_only_what_it_commits) {
    const std::string text = run(1500);
    pane.showText(text);
    QSignalSpy edited(&pane, &RunPane::operatorEdited);
    for (const std::size_t at : {text.size(), std::size_t{100}}) {
        pane.placeCaret(at);
        QInputMethodEvent composing(QStringLiteral("a"), {});
        QApplication::sendEvent(&pane, &composing);
        QApplication::processEvents();
        EXPECT_EQ(edited.count(), at == 100 ? 1 : 0) << "a composition is no edit";
        QInputMethodEvent committed;
        committed.setCommitString(QStringLiteral("X"));
        QApplication::sendEvent(&pane, &committed);
    }
    std::string expected = text + "X";
    expected.insert(100, "X");
    EXPECT_EQ(pane.text8(), expected) << "soft breaks stay out of the text";
    EXPECT_TRUE(cutToFit(pane));
}

TEST_F(RunPaneTest, resizing_and_changing_the_font_keep_the_text_and_recut_it) {
    const std::string text = run(2000) + "\r\n" + run(700, 3);
    pane.showText(text);
    const int linesBefore = lineCount(pane);
    pane.resize(120, 120);
    EXPECT_EQ(pane.text8(), text);
    EXPECT_GT(lineCount(pane), linesBefore);
    EXPECT_TRUE(cutToFit(pane));
    pane.resize(420, 120);
    EXPECT_EQ(pane.text8(), text);
    EXPECT_TRUE(cutToFit(pane));
    QFont larger = pane.font();
    larger.setPixelSize(24);
    pane.setFont(larger);
    EXPECT_EQ(pane.text8(), text);
    EXPECT_TRUE(cutToFit(pane));
    // The caret keeps its place in the text across a re-cut.
    placeCaret(line(5).position + 1);
    const auto logical = static_cast<std::size_t>(line(5).position + 1 - 5);
    pane.resize(160, 120);
    QTest::keyClicks(&pane, "9");
    EXPECT_EQ(pane.text8(), text.substr(0, logical) + "9" + text.substr(logical));
}

TEST_F(RunPaneTest, text_given_before_the_pane_is_shown_is_recut_for_its_width) {
    RunPane hidden;
    hidden.setFont(pane.font());
    hidden.resize(300, 100);
    const std::string text = run(1200) + "\r\n";
    hidden.showText(text);
    hidden.appendLine("Cipher-Card o.k !!");
    hidden.show();
    EXPECT_EQ(hidden.text8(), text + "Cipher-Card o.k !!\r\n");
    EXPECT_TRUE(cutToFit(hidden));
}

TEST_F(RunPaneTest, program_text_is_quiet_unmodified_and_shows_its_end) {
    QSignalSpy changed(&pane, &QPlainTextEdit::textChanged);
    QSignalSpy edited(&pane, &RunPane::operatorEdited);
    pane.showText(run(3000));
    pane.showText(run(3001));
    pane.appendLine("Cipher-Card o.k !!");
    pane.clearText();
    pane.showText(run(3000));
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(edited.count(), 0);
    EXPECT_FALSE(pane.document()->isModified());
    EXPECT_TRUE(pane.textCursor().atEnd());
    EXPECT_GT(pane.verticalScrollBar()->value(), 0);
    EXPECT_TRUE(pane.viewport()->rect().contains(pane.cursorRect()));

    QTest::keyClicks(&pane, "A");
    EXPECT_GE(edited.count(), 1);
    EXPECT_TRUE(pane.document()->isModified());
    pane.showText("B");
    EXPECT_FALSE(pane.document()->isModified());
}

TEST_F(RunPaneTest, a_pane_for_reading_shows_program_text_from_its_start) {
    pane.showText(run(3000));
    ASSERT_GT(pane.verticalScrollBar()->value(), 0);
    pane.setFollowsEnd(false);
    std::string lines;
    for (int i = 0; i < 100; ++i)
        lines += "Zeile " + std::to_string(i) + "\r\n";
    // Replaced, extended, replaced by lines, and a line appended.
    for (const std::string& text : {run(4000), run(4000) + "\r\nmore", lines}) {
        pane.showText(text);
        EXPECT_EQ(pane.textCursor().position(), 0);
        EXPECT_EQ(pane.verticalScrollBar()->value(), 0);
    }
    pane.appendLine("Load");
    EXPECT_EQ(pane.textCursor().position(), 0);
    EXPECT_EQ(pane.verticalScrollBar()->value(), 0);
    EXPECT_EQ(pane.text8(), lines + "Load\r\n");
}

TEST_F(RunPaneTest, texts_of_many_lines_or_one_long_line_load_exactly_in_few_blocks) {
    struct Row {
        const char* name;
        std::string text;
        std::string expected;
        int maxBlocks;
    };
    const Row rows[] = {
        {"line_feeds_only", std::string(100000, '\n'), repeat("\r\n", 100000), 100000 / 200},
        {"carriage_returns_only", std::string(1000, '\r'), repeat("\r\n", 1000), 1000 / 200},
        {"one_symbol_a_line", repeat("Q\r\n", 50000), repeat("Q\r\n", 50000), 50000 / 100},
        {"one_long_line", run(200000), run(200000), 200000 / 200}};
    for (const Row& row : rows) {
        pane.showText(row.text);
        EXPECT_EQ(pane.text8(), row.expected) << row.name;
        EXPECT_LT(pane.document()->blockCount(), row.maxBlocks) << row.name;
        // The operator types and deletes a symbol in the middle.
        placeCaret(pane.document()->characterCount() / 2);
        QTest::keyClicks(&pane, "Z");
        QTest::keyClick(&pane, Qt::Key_Backspace);
        EXPECT_EQ(pane.text8(), row.expected) << row.name;
        EXPECT_TRUE(cutToFit(pane)) << row.name;
    }
}

} // namespace
