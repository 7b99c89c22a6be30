#pragma once

// Checks a RunPane's lines against the rule it cuts by, and the fixture the pane tests share.

#include "ui/run_pane.h"

#include <QTextCursor>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace zelmak::test {

// A line the pane shows: where it starts in the document, its text, and whether it ends in a soft
// break.
struct Line {
    int position;
    QString text;
    bool soft;
};

inline std::vector<Line> lines(const RunPane& pane) {
    const QString raw = pane.document()->toRawText();
    std::vector<Line> found;
    for (int start = 0, i = 0; i <= raw.size(); ++i)
        if (i == raw.size() || raw[i] == QChar::LineSeparator ||
            raw[i] == QChar::ParagraphSeparator) {
            found.push_back(
                {start, raw.mid(start, i - start), i < raw.size() && pane.isSoftBreak(i)});
            start = i + 1;
        }
    return found;
}

inline std::vector<std::string> lineTexts(const RunPane& pane) {
    std::vector<std::string> texts;
    for (const Line& line : lines(pane))
        texts.push_back(line.text.toStdString() + (line.soft ? "~" : ""));
    return texts;
}

inline int lineCount(const RunPane& pane) {
    return static_cast<int>(lines(pane).size());
}

// The lines must hold text8() (soft breaks left out, other breaks as CR LF), and each must fit
// the pane: Qt's own layout, in the pane's wrap mode and font, does not break it, and it is no
// wider than the pane's text. When cutting anywhere, a line of printable symbols that goes on in
// the next line also fills at least half the width. No soft break is outside the document.
inline ::testing::AssertionResult cutToFit(const RunPane& pane) {
    const QTextDocument* doc = pane.document();
    const double width = pane.viewport()->width() - 2 * doc->documentMargin();
    QTextOption option;
    option.setWrapMode(pane.wordWrapMode());
    std::string text;
    const std::vector<Line> all = lines(pane);
    for (std::size_t number = 0; number < all.size(); ++number) {
        const Line& line = all[number];
        for (const QChar c : line.text)
            text += static_cast<char>(c.unicode());
        if (number + 1 < all.size() && !line.soft)
            text += "\r\n";
        QTextLayout layout(line.text, doc->defaultFont());
        layout.setTextOption(option);
        layout.beginLayout();
        int count = 0;
        double last = 0;
        for (QTextLine shown = layout.createLine(); shown.isValid(); shown = layout.createLine()) {
            shown.setLineWidth(width);
            last = shown.naturalTextWidth();
            if (last > width)
                return ::testing::AssertionFailure()
                       << "line " << number << " is " << last << " wide, the pane " << width;
            ++count;
        }
        layout.endLayout();
        if (count != 1)
            return ::testing::AssertionFailure() << "Qt lays line " << number << " out in " << count
                                                 << " lines: \"" << line.text.toStdString() << "\"";
        const bool printable =
            std::all_of(line.text.begin(), line.text.end(), [](QChar c) { return c.isPrint(); });
        if (line.soft && printable && !pane.wrapAtBlanks() && last < width / 2)
            return ::testing::AssertionFailure()
                   << "line " << number << " ends in a soft break after only " << last;
    }
    if (pane.isSoftBreak(doc->characterCount() - 1) || pane.isSoftBreak(-1))
        return ::testing::AssertionFailure() << "a soft break outside the document";
    if (text != pane.text8())
        return ::testing::AssertionFailure() << "the lines do not hold text8()";
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

    Line line(int number) const { return lines(pane).at(static_cast<std::size_t>(number)); }
    void placeCaret(int position) {
        QTextCursor caret(pane.document());
        caret.setPosition(position);
        pane.setTextCursor(caret);
    }

    RunPane pane;
};

} // namespace zelmak::test
