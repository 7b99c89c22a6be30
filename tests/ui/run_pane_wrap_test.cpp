// RunPane breaking lines at blanks, as the loaded-text pane does: its lines must stay the lines
// that Qt's own word-boundary layout makes, through every way the text changes.
#include "form_fixture.h"
#include "pane_layout.h"
#include "temp_dir.h"
#include "ui/run_pane.h"

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

using zelmak::RunPane;

namespace {

using namespace zelmak::test;

// Letter-like prose: words of a few lengths, some punctuation and hyphens, a line break (CR LF)
// about every lineLength symbols; lineLength 0 makes one line.
std::string prose(std::size_t size, std::size_t lineLength, unsigned seed) {
    static const char* const kWords[] = {
        "der",     "Schlüssel", "wird",  "täglich", "gewechselt",   "and",  "the",  "machine",
        "keeps",   "its",       "discs", "o.k.",    "Cipher-Card",  "in",   "a",    "letter",
        "Grüße",   "aus",       "Köln,", "façade",  "naïve",        "1945", "(see", "above)",
        "Zelmak:", "rotor",     "-",     "well!",   "Übermittlung", "x",    "Y",    "walzen"};
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kWords) - 1);
    std::string text;
    std::size_t lineStart = 0;
    while (text.size() < size) {
        if (lineLength > 0 && text.size() - lineStart > lineLength) {
            text += "\r\n";
            lineStart = text.size();
        } else if (text.size() > lineStart) {
            text += random() % 9 == 0 ? "  " : " ";
        }
        text += kWords[pick(random)];
    }
    // The words are written in UTF-8 here; the pane holds Latin-1.
    return QString::fromUtf8(text).toLatin1().toStdString();
}

// Latin-1 letters, a no-break space and soft hyphens among the words.
std::string latin1Words() {
    return "Gr\xfc\xdf"
           "e aus K\xf6ln, fa\xe7"
           "ade na\xefve \xa0no-break\xa0space, soft\xad"
           "hy\xadphen\xad"
           "ated W\xf6rter und \xbbQuotes\xab";
}

class WrapTest : public zelmak::test::PaneTest {
protected:
    void SetUp() override {
        PaneTest::SetUp();
        pane.setWrapAtBlanks(true);
    }
    // The offset in text8() (hard breaks as CR LF) of a document position.
    std::size_t logicalOf(int position) const {
        const QString raw = pane.document()->toRawText();
        std::size_t logical = 0;
        for (int i = 0; i < position; ++i)
            if (raw[i] != QChar::LineSeparator && raw[i] != QChar::ParagraphSeparator)
                ++logical;
            else if (!pane.isSoftBreak(i))
                logical += 2;
        return logical;
    }
};

struct WrapRow {
    const char* name;
    std::string input;
    std::string crLf = ""; // the input with CR LF breaks, where it has others
    const std::string& expected() const { return crLf.empty() ? input : crLf; }
};

void PrintTo(const WrapRow& row, std::ostream* out) {
    *out << row.name;
}

class WrapTexts : public WrapTest, public ::testing::WithParamInterface<WrapRow> {};

TEST_P(WrapTexts, lines_fit_and_are_the_same_on_every_path) {
    const WrapRow& row = GetParam();
    pane.showText(row.input);
    EXPECT_EQ(pane.text8(), row.expected()) << "on an empty pane";
    EXPECT_TRUE(cutToFit(pane)) << "on an empty pane";
    const auto once = lineTexts(pane);

    pane.showText("something else");
    pane.showText(row.input);
    EXPECT_EQ(lineTexts(pane), once) << "rebuilt over other text";

    // Appending moves words between the last lines.
    pane.clearText();
    for (const std::size_t part : {row.input.size() / 3, row.input.size() / 2 + 1})
        pane.showText(row.input.substr(0, part));
    pane.showText(row.input);
    EXPECT_EQ(pane.text8(), row.expected()) << "extended in parts";
    EXPECT_EQ(lineTexts(pane), once) << "extended in parts";

    // An edit of the operator that leaves the text as it was.
    QTest::keyClick(&pane, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(&pane, "Q");
    QTest::keyClick(&pane, Qt::Key_Backspace);
    EXPECT_EQ(pane.text8(), row.expected()) << "after an edit";
    EXPECT_EQ(lineTexts(pane), once) << "after an edit at the end";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WrapTexts,
    ::testing::Values(
        WrapRow{"short_words", repeat("Zelmak wraps short words at blanks. ", 6)},
        WrapRow{"word_longer_than_a_line", "a " + repeat("Walzenstellung", 5) + " b c d"},
        WrapRow{"long_word_first", repeat("Schluessel", 7) + " und so weiter"},
        WrapRow{"blank_runs_at_cuts", repeat("Chiffre      Karte  ", 8)},
        WrapRow{"blanks_wider_than_a_line",
                "ab" + std::string(70, ' ') + "cd" + std::string(70, ' ')},
        WrapRow{"tabs", repeat("Spalte\teins\t\tzwei drei\tvier ", 4)},
        WrapRow{"blanks_at_line_start", "   Einzug der ersten Zeile und mehr Worte\r\n      "
                                        "zweite Zeile mit tiefem Einzug bis zum Rand\r\n\tTab"},
        WrapRow{"line_ending_in_blanks", "Zeile mit Blanks am Ende und weiter        \r\nnext   "},
        WrapRow{"bytes_128_to_255", bytesFrom(128, 255)}, WrapRow{"latin1_words", latin1Words()},
        WrapRow{"hyphens_and_punctuation", repeat("Cipher-Card o.k !! (siehe oben) 12/45, ", 3)},
        WrapRow{"cr_lf_mixes",
                "eins zwei drei vier\r\nf\xfcnf\rsechs sieben acht neun\nzehn\n\r"
                "elf zw\xf6lf\r\n",
                "eins zwei drei vier\r\nf\xfcnf\r\nsechs sieben acht neun\r\nzehn\r\n\r\n"
                "elf zw\xf6lf\r\n"},
        WrapRow{"cipher_text", run(700, 2) + "\r\n" + run(90, 3)}, WrapRow{"empty", ""}),
    [](const ::testing::TestParamInfo<WrapRow>& row) { return std::string(row.param.name); });

TEST_F(WrapTest, random_prose_fits_at_several_widths) {
    const std::string letter = prose(6000, 70, 11) + "\r\n" + prose(3000, 0, 12);
    pane.showText(letter);
    EXPECT_EQ(pane.text8(), letter);
    EXPECT_GT(lineCount(pane), 150);
    EXPECT_TRUE(cutToFit(pane));
    for (const int width : {90, 143, 301, 487}) {
        pane.resize(width, 120);
        EXPECT_EQ(pane.text8(), letter) << width;
        EXPECT_TRUE(cutToFit(pane)) << width;
    }
}

TEST_F(WrapTest, symbol_by_symbol_on_and_back_cuts_the_same_lines_as_the_whole_text_at_once) {
    const std::string text = prose(1200, 0, 3) + "\r\n" + repeat("Walzenstellung", 6) + " end";
    for (std::size_t n = 1; n <= text.size(); ++n)
        pane.showText(std::string_view(text).substr(0, n));
    ASSERT_EQ(pane.text8(), text);
    EXPECT_TRUE(cutToFit(pane));
    const auto appended = lineTexts(pane);
    pane.clearText();
    pane.showText(text);
    EXPECT_EQ(lineTexts(pane), appended);

    // Taken back symbol by symbol, as undo does: a shortened word may go back up a line.
    const std::string line = prose(1200, 0, 3) + " " + repeat("Walzenstellung", 6);
    pane.showText(line);
    RunPane fresh;
    fresh.setWrapAtBlanks(true);
    fresh.setFont(pane.font());
    fresh.resize(pane.size());
    fresh.show();
    for (std::size_t n = line.size(); n-- > 0;) {
        pane.showText(std::string_view(line).substr(0, n));
        fresh.clearText();
        fresh.showText(std::string_view(line).substr(0, n));
        ASSERT_EQ(lineTexts(pane), lineTexts(fresh)) << n << " symbols left";
    }
}

TEST_F(WrapTest, typing_into_a_word_moves_it_to_the_next_line_and_back) {
    std::string text = prose(1500, 0, 5);
    pane.showText(text);
    const int lines = lineCount(pane);
    // Lengthen the last word of the third line until it no longer fits there.
    const QString third = line(2).text;
    const int wordEnd = static_cast<int>(third.trimmed().size());
    placeCaret(line(2).position + wordEnd - 1);
    const std::size_t at = logicalOf(pane.textCursor().position());
    QTest::keyClicks(&pane, "xxxxxxxxxx");
    text.insert(at, "xxxxxxxxxx");
    EXPECT_EQ(pane.text8(), text);
    EXPECT_TRUE(cutToFit(pane));
    EXPECT_NE(line(2).text, third);
    // The caret stayed behind what was typed, now on the next line.
    EXPECT_EQ(logicalOf(pane.textCursor().position()), at + 10);

    for (int i = 0; i < 10; ++i)
        QTest::keyClick(&pane, Qt::Key_Backspace);
    text.erase(at, 10);
    EXPECT_EQ(pane.text8(), text);
    EXPECT_TRUE(cutToFit(pane));
    EXPECT_EQ(line(2).text, third);
    EXPECT_EQ(lineCount(pane), lines);
}

TEST_F(WrapTest, deleting_the_blank_between_two_words_joins_them_and_recuts) {
    std::string text = prose(1500, 0, 7);
    pane.showText(text);
    // The blank that ends the fourth line: Backspace at the start of the fifth deletes it.
    placeCaret(line(4).position);
    const std::size_t at = logicalOf(line(4).position);
    ASSERT_EQ(text[at - 1], ' ');
    QTest::keyClick(&pane, Qt::Key_Backspace);
    text.erase(at - 1, 1);
    EXPECT_EQ(pane.text8(), text);
    EXPECT_TRUE(cutToFit(pane));

    // A blank inside a line, with Delete.
    const int inside = line(8).position + static_cast<int>(line(8).text.indexOf(u' '));
    const std::size_t blank = logicalOf(inside);
    ASSERT_EQ(text[blank], ' ');
    placeCaret(inside);
    QTest::keyClick(&pane, Qt::Key_Delete);
    text.erase(blank, 1);
    EXPECT_EQ(pane.text8(), text);
    EXPECT_TRUE(cutToFit(pane));
}

TEST_F(WrapTest, shortening_a_first_word_pulls_it_back_onto_the_line_before) {
    pane.showText("ab cd ef gh ij kl Walzenstellung mn");
    ASSERT_GE(lineCount(pane), 2);
    ASSERT_EQ(line(1).text.left(14), QStringLiteral("Walzenstellung"));
    // Delete the word's tail from its end until it fits after the short words.
    placeCaret(line(1).position + 14);
    for (int i = 0; i < 10; ++i)
        QTest::keyClick(&pane, Qt::Key_Backspace);
    EXPECT_EQ(pane.text8(), "ab cd ef gh ij kl Walz mn");
    EXPECT_TRUE(cutToFit(pane));
    EXPECT_TRUE(line(0).text.startsWith(QStringLiteral("ab cd ef gh ij kl Walz")));
    EXPECT_EQ(logicalOf(pane.textCursor().position()), 22u);
}

// Numbers, brackets and quotes, around which the places a line may break depend on the symbols
// before them, not only on blanks.
std::string punctuated(std::size_t size, unsigned seed) {
    static const char* const kTokens[] = {"(1945)",
                                          "12/45,",
                                          "$100",
                                          "\xab"
                                          "Zitat\xbb",
                                          "a-b-c",
                                          "o.k.!",
                                          "(",
                                          ")",
                                          "50%",
                                          "3.14",
                                          "x/y",
                                          "Nr.",
                                          "-12",
                                          "\xbfQu\xe9?",
                                          "\xa1Ja!",
                                          "\"Wort\"",
                                          "\xa7 4",
                                          "1\xa0"
                                          "000",
                                          "Walze",
                                          "rotor"};
    std::mt19937 random(seed);
    std::string text;
    while (text.size() < size) {
        if (!text.empty())
            text += random() % 13 == 0 ? "\r\n" : std::string(1 + random() % 3, ' ');
        text += kTokens[random() % std::size(kTokens)];
    }
    return text;
}

struct EditRow {
    const char* name;
    std::string text;
    std::vector<std::string> typed;
    int width;
    bool words = true;
};

void PrintTo(const EditRow& row, std::ostream* out) {
    *out << row.name;
}

class WrapEdits : public WrapTest, public ::testing::WithParamInterface<EditRow> {};

TEST_P(WrapEdits, random_edits_keep_the_text_and_cut_it_as_a_fresh_pane_does) {
    const EditRow& row = GetParam();
    pane.setWrapAtBlanks(row.words);
    pane.resize(row.width, 120);
    RunPane fresh;
    fresh.setWrapAtBlanks(row.words);
    fresh.setFont(pane.font());
    fresh.resize(row.width, 120);
    fresh.show();
    std::string text = row.text;
    pane.showText(text);
    std::mt19937 random(21);
    for (int step = 0; step < 250; ++step) {
        const int size = pane.document()->characterCount() - 1;
        const int position = static_cast<int>(random() % static_cast<unsigned>(size + 1));
        placeCaret(position);
        const std::size_t at = logicalOf(position);
        const std::size_t typedKinds = row.typed.size();
        const auto what = random() % (typedKinds + 4);
        if (what < typedKinds) {
            const std::string& typed = row.typed[what];
            QTest::keyClicks(&pane, typed.c_str());
            text.insert(at, typed);
        } else if (what == typedKinds) {
            QTest::keyClick(&pane, Qt::Key_Return);
            text.insert(at, "\r\n");
        } else if (what == typedKinds + 1) {
            if (at == 0)
                continue;
            // At a hard break the document removes it whole; text8() spells it as two bytes.
            QTest::keyClick(&pane, Qt::Key_Backspace);
            const std::size_t length = text[at - 1] == '\n' ? 2 : 1;
            text.erase(at - length, length);
        } else if (what == typedKinds + 2) {
            // A selection over several lines, deleted.
            const int other = std::min(size, position + 1 + static_cast<int>(random() % 120));
            if (other == position)
                continue;
            QTextCursor selection(pane.document());
            selection.setPosition(position);
            selection.setPosition(other, QTextCursor::KeepAnchor);
            pane.setTextCursor(selection);
            const std::size_t end = logicalOf(other);
            QTest::keyClick(&pane, Qt::Key_Delete);
            text.erase(at, end - at);
        } else {
            // Pasted lines come in as a change that is re-cut once events run.
            QApplication::clipboard()->setText(QStringLiteral("Kopie aus\nder Ablage "));
            pane.paste();
            QApplication::processEvents();
            text.insert(at, "Kopie aus\r\nder Ablage ");
        }
        ASSERT_EQ(pane.text8(), text) << "step " << step;
        ASSERT_TRUE(cutToFit(pane)) << "step " << step;
        // The lines around the edit are cut as the whole text is cut at once.
        fresh.showText(text);
        ASSERT_EQ(lineTexts(pane), lineTexts(fresh)) << "step " << step;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WrapEdits,
    ::testing::Values(
        EditRow{"prose",
                prose(2500, 60, 9) + "\r\n" + prose(1500, 0, 10),
                {"w", " ", "Walzenstellungen"},
                220},
        EditRow{"prose_narrow", prose(1500, 0, 13), {"w", " ", "Walzenstellungen"}, 90},
        EditRow{"punctuated", punctuated(3000, 14), {"(", " ", "1", "/", "-", "x", ")  "}, 220},
        EditRow{"punctuated_narrow", punctuated(1500, 15), {"(", " ", "1", "/", "x"}, 110},
        EditRow{"cipher_text_cut_anywhere", run(3000, 2), {"Q", "W", "_I8"}, 220, false}),
    [](const ::testing::TestParamInfo<EditRow>& row) { return std::string(row.param.name); });

TEST_F(WrapTest, copy_leaves_the_soft_breaks_out) {
    const std::string text = prose(800, 0, 4);
    pane.showText(text + "\r\nEnde");
    ASSERT_GT(lineCount(pane), 5);
    pane.selectAll();
    pane.copy();
    EXPECT_EQ(QApplication::clipboard()->text().toLatin1().toStdString(), text + "\nEnde");
}

TEST_F(WrapTest, switching_the_mode_recuts_quietly_and_keeps_text_and_caret) {
    const std::string text = prose(900, 0, 6);
    pane.showText(text);
    placeCaret(line(3).position + 2);
    const std::size_t at = logicalOf(pane.textCursor().position());
    QSignalSpy edited(&pane, &RunPane::operatorEdited);
    pane.setWrapAtBlanks(false);
    EXPECT_FALSE(pane.wrapAtBlanks());
    EXPECT_EQ(pane.text8(), text);
    EXPECT_TRUE(cutToFit(pane));
    EXPECT_EQ(logicalOf(pane.textCursor().position()), at);
    pane.setWrapAtBlanks(true);
    EXPECT_TRUE(cutToFit(pane));
    EXPECT_EQ(logicalOf(pane.textCursor().position()), at);
    EXPECT_EQ(edited.count(), 0);
    EXPECT_FALSE(pane.document()->isModified());
}

TEST_F(WrapTest, appended_lines_follow_text_that_ends_in_a_long_line) {
    const std::string text = prose(700, 0, 8);
    pane.showText(text);
    pane.appendLine("Load");
    EXPECT_EQ(pane.text8(), text + "\r\nLoad\r\n");
    EXPECT_TRUE(cutToFit(pane));
}

using WrapFormTest = zelmak::test::FormTest;

TEST_F(WrapFormTest, only_the_loaded_text_pane_wraps_at_blanks) {
    EXPECT_TRUE(named<RunPane>(QStringLiteral("lade"))->wrapAtBlanks());
    EXPECT_FALSE(named<RunPane>(QStringLiteral("Eingabe"))->wrapAtBlanks());
    EXPECT_FALSE(named<RunPane>(QStringLiteral("Ausgabe"))->wrapAtBlanks());
}

TEST_F(WrapFormTest, a_loaded_text_shows_its_start_while_the_output_follows_its_end) {
    zelmak::test::TempDir dir;
    std::string letter;
    for (int i = 1; i <= 200; ++i)
        letter += "Zeile " + std::to_string(i) + " des Briefes\r\n";
    zelmak::test::writeFile(dir.file("letter.txt"), letter);
    auto* lade = named<RunPane>(QStringLiteral("lade"));
    auto* output = named<RunPane>(QStringLiteral("Ausgabe"));
    for (int load = 0; load < 2; ++load) {
        dialogs.openAnswers << QString::fromStdString(dir.file("letter.txt"));
        button(40)->click();
        ASSERT_EQ(pane(zelmak::Pane::Loaded), letter);
        EXPECT_EQ(lade->textCursor().position(), 0) << load;
        EXPECT_EQ(lade->verticalScrollBar()->value(), 0) << load;
        // The operator reads on to the end before loading the letter again.
        lade->moveCursor(QTextCursor::End);
        ASSERT_GT(lade->verticalScrollBar()->value(), 0);
    }
    button(41)->click();
    EXPECT_TRUE(output->textCursor().atEnd());
    EXPECT_GT(output->verticalScrollBar()->value(), 0);
    EXPECT_EQ(output->verticalScrollBar()->value(), output->verticalScrollBar()->maximum());
}

} // namespace
