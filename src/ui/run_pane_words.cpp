// RunPane's cutting at blanks: blocks end where the text layout ends a line at a word boundary.
//
// Where a line may break depends on the symbols around the place, not only on blanks (after a
// hyphen, say), so the break opportunities come from the layout's own line breaking. They depend
// on what precedes them only back to the last ASCII letter: from a letter on, the line breaking
// runs the same whatever came before it. A re-cut therefore reads the text from a letter at or
// before the first block it re-cuts, and trusts the opportunities it finds only up to the last
// letter it read, unless it read to the end of the line.
#include "run_pane.h"
#include "run_pane_cut.h"

#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace zelmak {

using namespace pane_cut;

namespace {

bool isAnchor(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Marks the symbols before which the layout may break a line.
void markBreaks(const std::vector<char16_t>& text, std::vector<char>& breaks) {
    breaks.assign(text.size() + 1, 0);
    if (text.empty())
        return;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line,
                               reinterpret_cast<const QChar*>(text.data()),
                               static_cast<qsizetype>(text.size()));
    for (qsizetype at = finder.toNextBoundary(); at > 0; at = finder.toNextBoundary())
        breaks[static_cast<std::size_t>(at)] = 1;
}

// The width of a text's symbols other than blanks and tabs: never more than the layout gives it.
double inkWidth(QStringView text, const LineMetrics& metrics) {
    double width = 0;
    for (const QChar c : text) {
        const unsigned i = c.unicode() < 256 ? c.unicode() : u'?';
        if (!metrics.hangs[i])
            width += metrics.advance[i];
    }
    return width;
}

// The first block whose line can change when the text at position changes. A line's end depends
// on its text up to where the symbols from its start grow wider than a line, so an earlier line
// can change only while its text and the text up to position still fit in one line.
QTextBlock firstAffected(const QTextDocument& doc, int position, const LineMetrics& metrics) {
    QTextBlock block = doc.findBlock(position);
    double width = inkWidth(QStringView(block.text()).left(position - block.position()), metrics);
    while (block.previous().isValid() && softAfter(block.previous())) {
        width += inkWidth(block.previous().text(), metrics);
        if (width > metrics.lineWidth)
            break;
        block = block.previous();
    }
    return block;
}

// The logical text of some blocks, hard breaks as LF, after the symbols before the first block
// back to a letter (or to the line's start), which the break opportunities depend on.
struct Segment {
    struct Block {
        int position; // in the document
        int offset;   // in text
        int length;
        bool softStart; // whether a soft break comes before it
    };
    std::vector<char16_t> text;
    std::vector<Block> blocks;
    std::vector<int> softStarts; // offsets where a block follows a soft break
    std::size_t context = 0;
    bool complete = true; // whether text reaches the end of its last line

    void addContext(const QTextBlock& first) {
        const QString head = first.text();
        if (head.isEmpty() || !isAnchor(head[0].unicode())) {
            std::vector<QString> parts;
            for (QTextBlock block = first.previous(); block.isValid() && softAfter(block);
                 block = block.previous()) {
                const QString blockText = block.text();
                qsizetype at = blockText.size();
                while (at > 0 && !isAnchor(blockText[at - 1].unicode()))
                    --at;
                parts.push_back(at > 0 ? blockText.mid(at - 1) : blockText);
                if (at > 0)
                    break;
            }
            for (auto part = parts.rbegin(); part != parts.rend(); ++part)
                append(*part);
        }
        context = text.size();
    }
    void add(const QTextBlock& block) {
        const bool softStart = !blocks.empty() && softAfter(block.previous());
        if (softStart)
            softStarts.push_back(static_cast<int>(text.size()));
        else if (!blocks.empty())
            text.push_back(u'\n');
        const QString blockText = block.text();
        blocks.push_back({block.position(), static_cast<int>(text.size()),
                          static_cast<int>(blockText.size()), softStart});
        append(blockText);
        complete = !softAfter(block);
    }
    void append(const QString& part) {
        const auto* data = reinterpret_cast<const char16_t*>(part.constData());
        text.insert(text.end(), data, data + part.size());
    }
    // Latin-1 text; CR LF, a lone CR and a lone LF each become one LF.
    void append8(std::string_view part, bool skipFirstLf) {
        text.reserve(text.size() + part.size());
        for (std::size_t i = skipFirstLf ? 1 : 0; i < part.size(); ++i) {
            const auto c = static_cast<unsigned char>(part[i]);
            if (c == '\r' && i + 1 < part.size() && part[i + 1] == '\n')
                ++i;
            text.push_back(c == '\r' ? u'\n' : static_cast<char16_t>(c));
        }
    }
    // The offset in text of a document position inside the blocks; -1 outside them.
    int offsetOf(int position) const {
        for (const Block& b : blocks)
            if (position >= b.position && position <= b.position + b.length)
                return b.offset + position - b.position;
        return -1;
    }
};

// Where a re-cut may stop: a line start that was one before, its soft break behind the change
// (so that the old line started there in text that has not changed), with a letter between the
// change and it (so that the break opportunities from it on are as before).
struct Settle {
    std::vector<int> starts; // offsets of such line starts, ascending
    std::size_t letter = SIZE_MAX;

    bool at(std::size_t offset) const {
        return letter <= offset &&
               std::binary_search(starts.begin(), starts.end(), static_cast<int>(offset));
    }
};

enum class Outcome { Done, Settled, NeedMore };

// Cuts the segment's text from its context on into the cut, hard breaks and soft ones. On
// Settled, *settledAt is the line start the cut stopped before.
Outcome cutSegment(const LineMetrics& metrics, const Segment& segment, const Settle& settle,
                   std::vector<char16_t>& cutText, std::vector<char>& cutSoft,
                   std::vector<int>& softStarts, std::size_t* settledAt) {
    std::vector<char> breaks;
    markBreaks(segment.text, breaks);
    const std::size_t size = segment.text.size();
    std::size_t trusted = size;
    if (!segment.complete) {
        while (trusted > segment.context && !isAnchor(segment.text[trusted - 1]))
            --trusted;
        trusted = trusted > segment.context ? trusted - 1 : 0;
    }
    const char16_t* text = segment.text.data();
    cutText.reserve(size - segment.context + size / 16 + 4);
    for (std::size_t lineStart = segment.context;;) {
        const auto lf = std::find(text + lineStart, text + size, u'\n');
        const auto lineEnd = static_cast<std::size_t>(lf - text);
        const bool open = lineEnd == size && !segment.complete;
        const std::size_t limit = open ? std::max(trusted, lineStart) : lineEnd;
        const WordWrap wrap(metrics, text, limit, breaks.data(), !open);
        for (std::size_t start = lineStart;;) {
            const std::size_t end = wrap.lineEnd(start);
            if (end == WordWrap::kNeedMore)
                return Outcome::NeedMore;
            cutText.insert(cutText.end(), text + start, text + std::min(end, lineEnd));
            if (end >= lineEnd)
                break;
            if (settle.at(end)) {
                *settledAt = end;
                return Outcome::Settled;
            }
            cutText.push_back(kSeparator);
            cutSoft.push_back(1);
            softStarts.push_back(static_cast<int>(end));
            start = end;
        }
        if (lineEnd == size)
            return Outcome::Done;
        cutText.push_back(kSeparator);
        cutSoft.push_back(0);
        lineStart = lineEnd + 1;
    }
}

} // namespace

void RunPane::setWrapAtBlanks(bool wrap) {
    if (wrap == m_wrapAtBlanks)
        return;
    flushReflow();
    m_wrapAtBlanks = wrap;
    // Where a block and the layout disagree, the layout breaks it the same way.
    setWordWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::WrapAnywhere);
    resplit();
}

void RunPane::cutWords(std::string_view text, Cut& cut) const {
    Segment segment;
    segment.append8(text, false);
    std::vector<int> softStarts;
    std::size_t settledAt = 0;
    cutSegment(metrics(), segment, Settle{}, cut.text, cut.soft, softStarts, &settledAt);
}

// The tail continues the last line: that line, and any line before it whose end may depend on
// where the text ended, are cut again together with the tail.
void RunPane::appendWords(std::string_view tail, bool skipFirstLf) {
    QTextDocument* doc = document();
    const LineMetrics& m = metrics();
    const int end = doc->characterCount() - 1;
    const QTextBlock first = firstAffected(*doc, end, m);
    Segment segment;
    segment.addContext(first);
    for (QTextBlock block = first; block.isValid(); block = block.next())
        segment.add(block);
    segment.append8(tail, skipFirstLf);
    segment.complete = true;
    Cut cut;
    std::vector<int> softStarts;
    std::size_t settledAt = 0;
    cutSegment(m, segment, Settle{}, cut.text, cut.soft, softStarts, &settledAt);
    replaceRange(first.position(), end, cut, kHardEnd);
}

// Re-cuts the lines that a change of the operator may have touched: from the first line whose
// end can depend on the change, until a line starts where one started before and the text from
// there on is as before, or the line ends. Reads a few blocks past the change, and more when
// the cut has not settled within them.
void RunPane::reflowWords(int from, int to) {
    QTextDocument* doc = document();
    to = std::clamp(to, 0, doc->characterCount() - 1);
    from = std::clamp(from, 0, to);
    const LineMetrics& m = metrics();
    const QTextBlock first = firstAffected(*doc, from, m);
    const int start = first.position();
    const int changed = doc->findBlock(to).blockNumber();

    for (int further = 2;; further *= 2) {
        Segment segment;
        segment.addContext(first);
        QTextBlock block = first;
        for (int extra = 0;; block = block.next()) {
            segment.add(block);
            if (block.blockNumber() >= changed && (segment.complete || ++extra > further))
                break;
        }
        Settle settle;
        for (std::size_t i = 1; i < segment.blocks.size(); ++i) {
            const Segment::Block& b = segment.blocks[i];
            if (b.position > to && b.softStart)
                settle.starts.push_back(b.offset);
        }
        const auto changeEnd = static_cast<std::size_t>(segment.offsetOf(to));
        const auto letter =
            std::find_if(segment.text.begin() + static_cast<std::ptrdiff_t>(changeEnd),
                         segment.text.end(), isAnchor);
        settle.letter = static_cast<std::size_t>(letter - segment.text.begin());

        Cut cut;
        std::vector<int> softStarts;
        std::size_t settledAt = 0;
        const Outcome outcome =
            cutSegment(m, segment, settle, cut.text, cut.soft, softStarts, &settledAt);
        if (outcome == Outcome::NeedMore)
            continue;

        // The range re-cut ends before the soft break it stopped at, or with the last block.
        std::vector<int> oldStarts = segment.softStarts;
        int end = block.position() + static_cast<int>(block.text().size());
        int lastState = kHardEnd;
        if (outcome == Outcome::Settled) {
            const auto kept =
                std::upper_bound(oldStarts.begin(), oldStarts.end(), static_cast<int>(settledAt));
            const auto softBefore = static_cast<int>(kept - oldStarts.begin());
            end = start + static_cast<int>(settledAt - segment.context) + softBefore - 1;
            oldStarts.erase(kept - 1, oldStarts.end());
            lastState = kSoftEnd;
        }
        if (oldStarts == softStarts)
            return;
        const QTextCursor caret = textCursor();
        const auto logical = [&](int position) {
            const int offset = segment.offsetOf(position);
            return offset < 0 ? -1 : offset - static_cast<int>(segment.context);
        };
        replaceKeepingCaret(start, end, cut, lastState, logical(caret.anchor()),
                            logical(caret.position()));
        return;
    }
}

} // namespace zelmak
