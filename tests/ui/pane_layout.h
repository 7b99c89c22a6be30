#pragma once

// Compares a RunPane's blocks with the lines Qt's own text layout makes of its text.

#include "ui/run_pane.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <vector>

namespace zelmak::test {

// The blocks must be the logical lines of text8(), cut where Qt's own layout breaks each line
// (in the given wrap mode) at the pane's width in the pane's font.
inline ::testing::AssertionResult
cutLikeLayout(const RunPane& pane, QTextOption::WrapMode mode = QTextOption::WrapAnywhere) {
    const QTextDocument* doc = pane.document();
    const double width = pane.viewport()->width() - 2 * doc->documentMargin();
    QTextOption option;
    option.setWrapMode(mode);
    const QString text = QString::fromLatin1(pane.text8());
    QTextBlock block = doc->firstBlock();
    int number = 0;
    for (const QString& line : text.split(QStringLiteral("\r\n"))) {
        std::vector<int> starts;
        qsizetype taken = 0;
        do {
            if (!block.isValid() || (block.text().isEmpty() && !line.isEmpty()))
                return ::testing::AssertionFailure() << "blocks do not hold line " << line.size();
            starts.push_back(static_cast<int>(taken));
            taken += block.text().size();
            block = block.next();
        } while (taken < line.size());
        QTextLayout layout(line, doc->defaultFont());
        layout.setTextOption(option);
        layout.beginLayout();
        std::vector<int> expected;
        for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
            l.setLineWidth(width);
            expected.push_back(l.textStart());
        }
        layout.endLayout();
        if (expected.empty())
            expected.push_back(0);
        if (starts != expected) {
            std::size_t i = 0;
            while (i < starts.size() && i < expected.size() && starts[i] == expected[i])
                ++i;
            const auto at = [](const std::vector<int>& v, std::size_t k) {
                return k < v.size() ? v[k] : -1;
            };
            const qsizetype from = i > 0 ? starts[i - 1] : 0;
            return ::testing::AssertionFailure()
                   << "line " << number << " of " << line.size() << " symbols cut into "
                   << starts.size() << " blocks, the layout makes " << expected.size()
                   << " lines; line " << i << " starts at " << at(starts, i) << ", not at "
                   << at(expected, i) << " (text from " << from << ": \""
                   << line.mid(from, 80).toStdString() << "\")";
        }
        ++number;
    }
    if (block.isValid())
        return ::testing::AssertionFailure() << "blocks left over";
    return ::testing::AssertionSuccess();
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
