#pragma once

// How RunPane cuts 8-bit text into blocks of one visual line each. Used by the run_pane*.cpp
// files only.

#include "run_pane.h"

#include <QChar>
#include <QTextBlock>

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelmak::pane_cut {

// A block's state tells how its line break ends: soft when the next block goes on with the same
// line. It describes the break after the block because the document keeps the later block's
// state when the operator deletes a break, and that is then the right state for the joined block.
constexpr int kSoftEnd = 1;
constexpr int kHardEnd = 0;
constexpr char16_t kSeparator = QChar::ParagraphSeparator;

// CR LF, a lone CR and a lone LF each become CR LF.
inline std::string withCrLf(std::string_view raw) {
    std::string out;
    out.reserve(raw.size() + 2);
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c != '\r' && c != '\n') {
            out.push_back(c);
            continue;
        }
        out += "\r\n";
        if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')
            ++i;
    }
    return out;
}

inline bool softAfter(const QTextBlock& block) {
    return block.userState() == kSoftEnd && block.next().isValid();
}

// Where the layout puts what follows a tab at x: the next stop, with x measured in stops and
// rounded to 1/64 first, as the layout's fixed-point arithmetic does; a stop of 0 means 80.
inline double nextTabStop(double x, double tabStop) {
    const double stop = tabStop > 0 ? tabStop : 80;
    const long long at = std::llround(x * 64);
    const long long step = std::llround(stop * 64);
    const long long steps = ((at * 64) + step / 2) / step / 64;
    return static_cast<double>(steps + 1) * stop;
}

struct LineMetrics {
    std::array<double, 256> advance{};
    // Width a symbol needs to stand last on a line: its advance and any ink beyond it.
    std::array<double, 256> need{};
    // Blanks never move to the next line; they hang past its end.
    std::array<bool, 256> hangs{};
    double tabStop = 80;
    double lineWidth = 0;
    bool valid = false;
};

// Fills one visual line the way the text layout wraps anywhere: a symbol goes on the line when
// the line is empty, when it is a blank, or when it still fits.
class LineFill {
public:
    explicit LineFill(const LineMetrics& metrics) : m_metrics(metrics) {}

    bool fits(char16_t c) const {
        const unsigned i = index(c);
        return m_count == 0 || m_metrics.hangs[i] || m_x + m_metrics.need[i] <= m_metrics.lineWidth;
    }
    void add(char16_t c) {
        const unsigned i = index(c);
        if (i == '\t' && m_metrics.tabStop > 0)
            m_x = nextTabStop(m_x, m_metrics.tabStop);
        else
            m_x += m_metrics.advance[i];
        ++m_count;
    }
    void reset() {
        m_x = 0;
        m_count = 0;
    }

private:
    static unsigned index(char16_t c) { return c < 256 ? c : u'?'; }

    const LineMetrics& m_metrics;
    double m_x = 0;
    int m_count = 0;
};

// Fills visual lines the way the text layout wraps at word boundaries: a line takes whole words
// while they fit, the blanks after a word hanging past its end; a line whose first word alone
// does not fit is filled anywhere instead. breaks[i] tells whether a line may break before
// symbol i. A text that is not complete stops short of its line's end; a line that needs to
// see further gets kNeedMore.
class WordWrap {
public:
    static constexpr std::size_t kNeedMore = SIZE_MAX;

    WordWrap(const LineMetrics& metrics, const char16_t* text, std::size_t size, const char* breaks,
             bool complete)
        : m_metrics(metrics), m_text(text), m_size(size), m_breaks(breaks), m_complete(complete) {}

    // The start of the visual line after the one that starts at start; size when the rest fits.
    std::size_t lineEnd(std::size_t start) const {
        const double width = m_metrics.lineWidth;
        double taken = 0;   // width of the words and blanks on the line so far
        double blanks = 0;  // blanks after them, not yet followed by a word
        bool holds = false; // whether the line holds a symbol or a blank followed by one
        bool blanksSeen = false;
        const auto endAt = [&](std::size_t at, double ink) {
            return taken + ink > width ? anywhereEnd(start) : at;
        };
        std::size_t p = start;
        while (p < m_size) {
            const unsigned c = index(m_text[p]);
            if (c == '\t') {
                // A tab is checked on its own, before and after it is added.
                if (blanks > width || (holds && taken + blanks > width))
                    return endAt(p, 0);
                taken += blanks;
                holds = holds || blanksSeen;
                blanks = nextTabStop(taken, m_metrics.tabStop) - taken;
                ++p;
                if (holds && taken + blanks > width)
                    return endAt(p, 0);
                taken += blanks;
                holds = true;
                blanks = 0;
                blanksSeen = false;
                continue;
            }
            if (m_metrics.hangs[c]) {
                blanks += m_metrics.advance[c];
                blanksSeen = true;
                ++p;
                continue;
            }
            if (blanks > width)
                return endAt(p, inkBefore(p, start));
            std::size_t q = p;
            double word = 0;
            do {
                word += m_metrics.advance[index(m_text[q])];
                ++q;
                // Too wide already, whatever the rest of the word is.
                if (taken + blanks + word > width)
                    return holds ? endAt(p, inkBefore(p, start)) : anywhereEnd(start);
            } while (q < m_size && !m_metrics.hangs[index(m_text[q])] && m_breaks[q] == 0);
            if (q == m_size && !m_complete)
                return kNeedMore;
            if (holds && taken + blanks + word + wordInk(q) > width)
                return endAt(p, inkBefore(p, start));
            taken += blanks + word;
            holds = true;
            blanks = 0;
            blanksSeen = false;
            p = q;
        }
        return m_complete ? endAt(m_size, inkBefore(m_size, start)) : kNeedMore;
    }

private:
    static unsigned index(char16_t c) { return c < 256 ? c : u'?'; }

    double ink(unsigned c) const { return m_metrics.need[c] - m_metrics.advance[c]; }
    double inkBefore(std::size_t at, std::size_t start) const {
        return at > start ? ink(index(m_text[at - 1])) : 0;
    }
    // Ink beyond the advance of the word that ends before q. A soft hyphen shows only where the
    // line may break after it.
    double wordInk(std::size_t q) const {
        const unsigned last = index(m_text[q - 1]);
        if (last == 0xad && q < m_size && m_breaks[q] == 0 && m_text[q] != u'\t')
            return 0;
        return ink(last);
    }

    // The same line filled symbol by symbol, as when its first word does not fit.
    std::size_t anywhereEnd(std::size_t start) const {
        const double width = m_metrics.lineWidth;
        double taken = 0;
        double blanks = 0;
        bool holds = false;
        bool blanksSeen = false;
        for (std::size_t p = start; p < m_size; ++p) {
            const unsigned c = index(m_text[p]);
            if (c == '\t') {
                if (blanks > width || (holds && taken + blanks > width))
                    return p;
                taken += blanks;
                holds = holds || blanksSeen;
                blanks = nextTabStop(taken, m_metrics.tabStop) - taken;
                if (holds && taken + blanks > width)
                    return p + 1;
                taken += blanks;
                holds = true;
                blanks = 0;
                blanksSeen = false;
                continue;
            }
            if (m_metrics.hangs[c]) {
                blanks += m_metrics.advance[c];
                blanksSeen = true;
                continue;
            }
            if (blanks > width)
                return p;
            if (c == 0xad && p + 1 == m_size && !m_complete)
                return kNeedMore;
            const double advance = m_metrics.advance[c];
            if (holds && taken + blanks + advance + wordInk(p + 1) > width)
                return p;
            taken += blanks + advance;
            holds = true;
            blanks = 0;
            blanksSeen = false;
        }
        return m_complete ? m_size : kNeedMore;
    }

    const LineMetrics& m_metrics;
    const char16_t* m_text;
    std::size_t m_size;
    const char* m_breaks;
    bool m_complete;
};

// Document offset, within cut text, of a logical offset (hard breaks count one, soft ones
// nothing). At a soft break the offset after it is taken, where the layout shows the caret.
inline int offsetOfLogical(const std::vector<char16_t>& text, const std::vector<char>& soft,
                           int logical) {
    int seen = 0;
    std::size_t separators = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool isSoft = text[i] == kSeparator && soft[separators] != 0;
        if (seen == logical && !isSoft)
            return static_cast<int>(i);
        if (text[i] == kSeparator)
            ++separators;
        if (!isSoft)
            ++seen;
    }
    return static_cast<int>(text.size());
}

} // namespace zelmak::pane_cut

namespace zelmak {
struct RunPane::Metrics : pane_cut::LineMetrics {};
} // namespace zelmak
