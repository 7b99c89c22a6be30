#pragma once

// How RunPane cuts 8-bit text into blocks of one visual line each. Used by run_pane.cpp only.

#include <QChar>

#include <array>
#include <cmath>
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
            m_x = (std::floor(m_x / m_metrics.tabStop) + 1) * m_metrics.tabStop;
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
