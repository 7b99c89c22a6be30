#pragma once

// Checks a RunPane's blocks against the rule it cuts by, and the fixture the pane tests share.

#include "ui/run_pane.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace zelmak::test {

// The block state with which RunPane marks a block whose line goes on in the next block.
constexpr int kSoftEndState = 1;

// The blocks must hold text8() (soft breaks left out, line separators and other block breaks as
// CR LF), and each of their lines must fit the pane: Qt's own layout, in the pane's wrap mode and
// font, breaks no line of a block, and no line is wider than the pane's text. When cutting
// anywhere, a line of printable symbols that goes on in the next block also fills at least half
// the width.
inline ::testing::AssertionResult cutToFit(const RunPane& pane) {
    const QTextDocument* doc = pane.document();
    const double width = pane.viewport()->width() - 2 * doc->documentMargin();
    QTextOption option;
    option.setWrapMode(pane.wordWrapMode());
    std::string text;
    int number = 0;
    for (QTextBlock block = doc->firstBlock(); block.isValid(); block = block.next(), ++number) {
        const QString blockText = block.text();
        const bool soft = block.userState() == kSoftEndState && block.next().isValid();
        for (const QChar c : blockText)
            text += c == QChar::LineSeparator ? std::string("\r\n")
                                              : std::string(1, static_cast<char>(c.unicode()));
        if (block.next().isValid() && !soft)
            text += "\r\n";

        QTextLayout layout(blockText, doc->defaultFont());
        layout.setTextOption(option);
        layout.beginLayout();
        int lines = 0;
        double last = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            last = line.naturalTextWidth();
            if (last > width)
                return ::testing::AssertionFailure()
                       << "block " << number << " is " << last << " wide, the pane " << width;
            ++lines;
        }
        layout.endLayout();
        const auto separators = blockText.count(QChar::LineSeparator);
        if (lines != separators + 1)
            return ::testing::AssertionFailure()
                   << "Qt lays block " << number << " out in " << lines << " lines, not "
                   << separators + 1 << ": \"" << blockText.toStdString() << "\"";
        const bool printable =
            std::all_of(blockText.begin(), blockText.end(), [](QChar c) { return c.isPrint(); });
        if (soft && printable && !pane.wrapAtBlanks() && last < width / 2)
            return ::testing::AssertionFailure()
                   << "block " << number << " ends in a soft break after only " << last;
    }
    if (text != pane.text8())
        return ::testing::AssertionFailure() << "the blocks do not hold text8()";
    return ::testing::AssertionSuccess();
}

// A run of machine symbols without blanks or line breaks.
inline std::string run(std::size_t count, unsigned seed = 1) {
    static const char kSymbols[] = "I23456789QERTZUOPASDFGHMKLYCVBN_";
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pick(0, 31);
    std::string text(count, ' ');
    for (char& c : text)
        c = kSymbols[pick(random)];
    return text;
}

inline std::string repeat(const std::string& part, int times) {
    std::string s;
    for (int i = 0; i < times; ++i)
        s += part;
    return s;
}

// The bytes from first to last, without CR and LF.
inline std::string bytesFrom(int first, int last) {
    std::string s;
    for (int c = first; c <= last; ++c)
        if (c != '\r' && c != '\n')
            s.push_back(static_cast<char>(c));
    return s;
}

inline std::vector<std::string> blockTexts(const RunPane& pane) {
    std::vector<std::string> texts;
    for (QTextBlock b = pane.document()->firstBlock(); b.isValid(); b = b.next())
        texts.push_back(b.text().toStdString());
    return texts;
}

// A pane of 220 x 120 in Arial 16 px, shown and focused, as the pane tests use it.
class PaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(16);
        pane.setFont(font);
        pane.resize(220, 120);
        pane.show();
        pane.setFocus();
    }

    QTextBlock block(int number) const { return pane.document()->findBlockByNumber(number); }
    void placeCaret(int position) {
        QTextCursor caret(pane.document());
        caret.setPosition(position);
        pane.setTextCursor(caret);
    }

    RunPane pane;
};

} // namespace zelmak::test
