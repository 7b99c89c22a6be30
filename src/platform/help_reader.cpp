#include "help_reader.h"

#include <QChar>
#include <QLatin1StringView>
#include <QString>

#include <algorithm>
#include <vector>

namespace zelmak {

namespace {

using namespace Qt::StringLiterals;

// The elements whose place the toolkit decides by rule.
enum class Kind {
    Other,
    Table,
    Section, // thead, tbody, tfoot, caption: only in a table
    Row,
    Cell,       // td: the toolkit builds a table and row for one outside a row
    HeaderCell, // th: outside a row it stands in the document itself
    List,
    Item,
    Paragraph,
    DefinitionList,
    Term,
    Definition,
    Body,
    Head,
    StyleSheet, // style, link
    Empty,      // br, hr, img, meta: never hold anything
};

struct Named {
    QLatin1StringView name;
    Kind kind;
};

constexpr Named kKinds[] = {
    {"table"_L1, Kind::Table},       {"thead"_L1, Kind::Section},   {"tbody"_L1, Kind::Section},
    {"tfoot"_L1, Kind::Section},     {"caption"_L1, Kind::Section}, {"tr"_L1, Kind::Row},
    {"td"_L1, Kind::Cell},           {"th"_L1, Kind::HeaderCell},   {"ul"_L1, Kind::List},
    {"ol"_L1, Kind::List},           {"li"_L1, Kind::Item},         {"p"_L1, Kind::Paragraph},
    {"dl"_L1, Kind::DefinitionList}, {"dt"_L1, Kind::Term},         {"dd"_L1, Kind::Definition},
    {"body"_L1, Kind::Body},         {"head"_L1, Kind::Head},       {"style"_L1, Kind::StyleSheet},
    {"link"_L1, Kind::StyleSheet},   {"br"_L1, Kind::Empty},        {"hr"_L1, Kind::Empty},
    {"img"_L1, Kind::Empty},         {"meta"_L1, Kind::Empty},
};

// A new paragraph closes the paragraph it would stand in, through the inline elements between;
// a block element stops it. Measured, element by element, on the toolkit's reader.
constexpr QLatin1StringView kBlocks[] = {
    "p"_L1,      "div"_L1, "li"_L1,   "ul"_L1, "ol"_L1, "blockquote"_L1, "pre"_L1,
    "center"_L1, "dl"_L1,  "body"_L1, "qt"_L1, "td"_L1, "th"_L1,         "h1"_L1,
    "h2"_L1,     "h3"_L1,  "h4"_L1,   "h5"_L1, "h6"_L1,
};
// Elements a new paragraph passes through (rows and table parts too, which closes the table).
constexpr QLatin1StringView kInlines[] = {
    "span"_L1,   "b"_L1,      "i"_L1,    "u"_L1,       "s"_L1,     "a"_L1,     "em"_L1,
    "strong"_L1, "font"_L1,   "code"_L1, "kbd"_L1,     "tt"_L1,    "small"_L1, "big"_L1,
    "sub"_L1,    "sup"_L1,    "cite"_L1, "var"_L1,     "samp"_L1,  "abbr"_L1,  "q"_L1,
    "nobr"_L1,   "strike"_L1, "dfn"_L1,  "address"_L1, "html"_L1,  "head"_L1,  "title"_L1,
    "style"_L1,  "table"_L1,  "tr"_L1,   "thead"_L1,   "tbody"_L1, "tfoot"_L1,
};

template <std::size_t N> bool among(const QString& name, const QLatin1StringView (&names)[N]) {
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

Kind kindOf(const QString& name) {
    for (const Named& k : kKinds)
        if (name == k.name)
            return k.kind;
    return Kind::Other;
}

struct TableShape {
    std::size_t rows = 0;
    std::size_t rowColumns = 0; // columns of the row being read
    std::size_t widestRow = 0;
    std::size_t spannedDown = 0; // columns of cells that reach into later rows
    // Tags without a name in a row: the toolkit gives each the columns of the cell after it.
    std::size_t nameless = 0;
    // The toolkit gives even an empty table a cell.
    std::size_t cells() const {
        return saturatingMul(std::max<std::size_t>(rows, 1),
                             std::max<std::size_t>(saturatingAdd(widestRow, spannedDown), 1));
    }
};

// An element the reader holds open. The reader may hold open an element the toolkit has closed
// (never the other way round): such an element is uncertain. A closing tag that names it closes
// nothing, and what lies above it becomes uncertain too; rows and cells count in each table they
// may go to.
struct Open {
    QString name; // lower case, as the toolkit compares names
    Kind kind = Kind::Other;
    bool styled = false; // has a style attribute, which may make it block or inline
    bool uncertain = false;
    TableShape table; // a table's rows and columns so far
};

// Reads the document as the toolkit's HTML reader does (every "<" starts a tag; words, quotes,
// character references and comments by its rules) and counts what it builds.
class Reader {
public:
    explicit Reader(QStringView html) : m_text(html) {}

    HelpStructure read() {
        while (m_pos < m_text.size() && !overLimit()) {
            const QChar c = m_text[m_pos++];
            if (c == u'<')
                tag();
            else if (c == u'&')
                text(entity());
            else
                character(c);
        }
        while (!m_open.empty())
            pop();
        return m_result;
    }

private:
    bool overLimit() const {
        using L = HelpLimits;
        return m_result.depth > L::kDepth || m_result.elements > L::kElements ||
               m_result.tableCells > L::kTableCells || m_result.listItems > L::kListItems ||
               m_result.images > L::kImages || m_result.styleSelectors > L::kStyleSelectors ||
               m_result.marksInARow > L::kMarksInARow;
    }

    bool at(QChar c, qsizetype ahead = 0) const {
        return m_pos + ahead < m_text.size() && m_text[m_pos + ahead] == c;
    }

    void eatSpace() {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace())
            ++m_pos;
    }

    void skipPast(QChar c) {
        while (m_pos < m_text.size() && m_text[m_pos++] != c) {
        }
    }

    // A numeric character reference after "&": the character, or "&" itself when it is none.
    // A named reference is read as its letters: none stands for a letter, a mark, "{" or ",",
    // so nothing is counted less.
    QString entity() {
        const qsizetype start = m_pos;
        qsizetype length = 0;
        bool ended = false;
        while (m_pos < m_text.size()) {
            const QChar c = m_text[m_pos++];
            if (c.isSpace() || m_pos - start > 9)
                break;
            if (c == u';') {
                ended = true;
                break;
            }
            ++length;
        }
        QStringView name = m_text.mid(start, length);
        if (ended && name.size() > 1 && name[0] == u'#') {
            name = name.mid(1);
            int base = 10;
            if (name[0].toLower() == u'x') {
                name = name.mid(1);
                base = 16;
            }
            bool ok = false;
            const char32_t code = name.toUInt(&ok, base);
            if (ok)
                return QString::fromUcs4(&code, 1);
        }
        m_pos = start;
        return QStringLiteral("&");
    }

    // A word of a tag: in quotes, or up to a space, "<", ">", "=" or "/>".
    QString word() {
        QString out;
        if (at(u'"') || at(u'\'')) {
            const QChar quote = m_text[m_pos++];
            while (m_pos < m_text.size()) {
                const QChar c = m_text[m_pos++];
                if (c == quote)
                    break;
                out += c == u'&' ? entity() : QString(c);
            }
            return out;
        }
        while (m_pos < m_text.size()) {
            const QChar c = m_text[m_pos];
            if (c == u'>' || (c == u'/' && at(u'>', 1)) || c == u'<' || c == u'=' || c.isSpace())
                break;
            ++m_pos;
            out += c == u'&' ? entity() : QString(c);
        }
        return out;
    }

    void tag() {
        eatSpace();
        if (at(u'!')) { // a comment or declaration: no element, and a style sheet goes on
            ++m_pos;
            if (at(u'-') && at(u'-', 1)) {
                const qsizetype end = m_text.indexOf(u"-->", m_pos + 2);
                m_pos = end < 0 ? m_text.size() : end + 3;
            } else {
                skipPast(u'>');
            }
            return;
        }
        m_inStyleText = false;
        if (at(u'/')) {
            ++m_pos;
            const QString name = word().toLower().trimmed();
            skipPast(u'>');
            close(name);
            return;
        }
        Open element;
        element.name = word().toLower();
        element.kind = kindOf(element.name);
        std::size_t colspan = 1;
        std::size_t rowspan = 1;
        if (m_pos < m_text.size() && m_text[m_pos].isSpace())
            attributes(element.styled, colspan, rowspan);
        bool closed = false; // "<x/>": opened and closed at once
        while (m_pos < m_text.size() && m_text[m_pos] != u'>') {
            if (m_text[m_pos] == u'/')
                closed = true;
            ++m_pos;
        }
        ++m_pos;
        open(std::move(element), colspan, rowspan, closed);
    }

    void attributes(bool& styled, std::size_t& colspan, std::size_t& rowspan) {
        while (m_pos < m_text.size()) {
            eatSpace();
            if (at(u'>') || at(u'/'))
                return;
            const QString key = word().toLower();
            if (key.isEmpty())
                return;
            styled = styled || key == "style"_L1;
            eatSpace();
            if (!at(u'='))
                continue;
            ++m_pos;
            eatSpace();
            const QString value = word();
            if (key == "colspan"_L1)
                colspan = span(value);
            else if (key == "rowspan"_L1)
                rowspan = span(value);
        }
    }

    // A span as the toolkit reads it (1 unless a positive number), held below the cell limit.
    static std::size_t span(const QString& value) {
        bool ok = false;
        const qlonglong n = value.trimmed().toLongLong(&ok);
        if (!ok || n < 1)
            return 1;
        return static_cast<std::size_t>(std::min<qlonglong>(n, HelpLimits::kTableCells + 1));
    }

    // The innermost open element of one of these kinds, or -1.
    template <typename... Kinds> qsizetype innermost(Kinds... kinds) const {
        for (qsizetype i = size() - 1; i >= 0; --i)
            if (((entry(i).kind == kinds) || ...))
                return i;
        return -1;
    }

    qsizetype size() const { return static_cast<qsizetype>(m_open.size()); }
    Open& entry(qsizetype i) { return m_open[static_cast<std::size_t>(i)]; }
    const Open& entry(qsizetype i) const { return m_open[static_cast<std::size_t>(i)]; }

    void popTo(qsizetype newSize) {
        while (size() > newSize)
            pop();
    }

    void pop() {
        const Open& last = m_open.back();
        if (last.kind == Kind::Table)
            m_result.tableCells = saturatingAdd(m_result.tableCells, last.table.cells());
        m_open.pop_back();
    }

    void push(Open element) {
        m_open.push_back(std::move(element));
        m_result.depth = std::max(m_result.depth, m_open.size());
    }

    // An element the toolkit adds (certainly, or maybe: when what it goes into is uncertain).
    void pushImplicit(QLatin1StringView name, Kind kind, bool uncertain) {
        Open element;
        element.name = name;
        element.kind = kind;
        element.uncertain = uncertain;
        push(std::move(element));
    }

    // Closes, as the toolkit does, what holds the element found at `i` (-1: none, and the
    // toolkit hangs the new element under the document itself).
    void closeAbove(qsizetype i) {
        if (i >= 0 && entry(i).uncertain)
            return; // the toolkit may close less, or more: leave all open
        popTo(i + 1);
    }

    // Marks the innermost paragraph and all above it as what the toolkit may have closed.
    void markParagraphUncertain(qsizetype from) {
        for (qsizetype i = from; i >= 0; --i) {
            if (entry(i).kind == Kind::Paragraph) {
                for (qsizetype j = i; j < size(); ++j)
                    entry(j).uncertain = true;
                return;
            }
        }
    }

    bool displayMayChange(const Open& e) const { return e.styled || m_styleSheets > 0; }

    void placeParagraph() {
        if (size() > 0 && m_open.back().kind == Kind::Paragraph && !m_open.back().uncertain) {
            const bool mayBeInline = displayMayChange(m_open.back());
            pop();
            if (mayBeInline)
                markParagraphUncertain(size() - 1);
            return;
        }
        for (qsizetype i = size() - 1; i >= 0; --i) {
            const Open& e = entry(i);
            if (e.uncertain || displayMayChange(e)) {
                markParagraphUncertain(i);
                return;
            }
            if (e.kind == Kind::Paragraph) {
                popTo(i);
                return;
            }
            if (among(e.name, kBlocks))
                return;
            if (!among(e.name, kInlines)) {
                markParagraphUncertain(i);
                return;
            }
        }
    }

    // Where the toolkit puts an element that has rules of place: it closes what the element may
    // not stand in, or builds the table a lone row or cell needs.
    void place(Kind kind) {
        switch (kind) {
        case Kind::Paragraph:
            placeParagraph();
            break;
        case Kind::Item:
            if (size() > 0 && m_open.back().kind == Kind::Item && !m_open.back().uncertain)
                pop();
            break;
        case Kind::Cell:
            if (const qsizetype row = innermost(Kind::Row); row >= 0 && !entry(row).uncertain) {
                popTo(row + 1);
            } else {
                pushImplicit("table"_L1, Kind::Table, row >= 0);
                pushImplicit("tr"_L1, Kind::Row, row >= 0);
                startRows();
            }
            break;
        case Kind::HeaderCell:
            closeAbove(innermost(Kind::Row));
            break;
        case Kind::Row:
            if (const qsizetype table = innermost(Kind::Table);
                table >= 0 && !entry(table).uncertain)
                closeAbove(innermost(Kind::Table, Kind::Section));
            else
                pushImplicit("table"_L1, Kind::Table, table >= 0);
            break;
        case Kind::Section:
            closeAbove(innermost(Kind::Table));
            break;
        case Kind::Term:
            closeAbove(innermost(Kind::DefinitionList));
            break;
        case Kind::Definition:
            closeAbove(innermost(Kind::DefinitionList, Kind::Term));
            break;
        case Kind::Body:
            while (size() > 0 && m_open.back().kind == Kind::Head && !m_open.back().uncertain)
                pop();
            break;
        default:
            break;
        }
    }

    // The tables a row or cell may go to: the innermost, and while that is uncertain, the ones
    // below it down to a certain one. Counting it in each counts no less.
    template <typename F> void eachTable(F f) {
        for (qsizetype i = size() - 1; i >= 0; --i) {
            if (entry(i).kind != Kind::Table)
                continue;
            f(entry(i).table);
            if (!entry(i).uncertain)
                return;
        }
    }

    bool innermostTableCertain() const {
        const qsizetype table = innermost(Kind::Table);
        return table >= 0 && !entry(table).uncertain;
    }

    void startRows() {
        const bool certain = innermostTableCertain();
        eachTable([certain](TableShape& shape) {
            shape.rows = saturatingAdd(shape.rows, 1);
            if (certain) // else the row may not be new in this table
                shape.rowColumns = 0;
        });
    }

    void addCell(std::size_t colspan, std::size_t rowspan) {
        eachTable([colspan, rowspan](TableShape& shape) {
            shape.rows = std::max<std::size_t>(shape.rows, 1);
            shape.rowColumns =
                saturatingAdd(shape.rowColumns, saturatingMul(colspan, shape.nameless + 1));
            shape.nameless = 0;
            shape.widestRow = std::max(shape.widestRow, shape.rowColumns);
            if (rowspan > 1)
                shape.spannedDown = saturatingAdd(shape.spannedDown, colspan);
        });
    }

    // A tag without a name holds nothing, but in a table it adds a row, and in a row the
    // columns of the next cell once more.
    void nameless() {
        if (size() == 0)
            return;
        const Open& top = m_open.back();
        eachTable([&top](TableShape& shape) {
            if (top.kind == Kind::Row || top.uncertain) {
                ++shape.nameless;
                shape.rowColumns = saturatingAdd(shape.rowColumns, 1);
                shape.widestRow = std::max(shape.widestRow, shape.rowColumns);
            }
            if (top.kind == Kind::Table || top.kind == Kind::Section || top.uncertain)
                shape.rows = saturatingAdd(shape.rows, 1);
        });
    }

    void open(Open element, std::size_t colspan, std::size_t rowspan, bool closed) {
        ++m_result.elements;
        ++m_opensSinceEmpty;
        if (element.name.isEmpty()) {
            nameless();
            return;
        }
        const Kind kind = element.kind;
        place(kind);
        if (kind == Kind::Row) {
            startRows();
        } else if (kind == Kind::Cell || kind == Kind::HeaderCell) {
            addCell(colspan, rowspan);
        } else if (kind == Kind::Item) {
            ++m_result.listItems;
        } else if (kind == Kind::StyleSheet) {
            ++m_styleSheets;
            m_inStyleText = !closed && element.name == "style"_L1;
        }
        m_result.images += element.name == "img"_L1;
        if (kind == Kind::Empty) {
            m_opensSinceEmpty = 0;
            m_empty = m_open;
            m_empty.push_back(std::move(element));
            return;
        }
        push(std::move(element));
        if (closed)
            pop();
    }

    void close(const QString& name) {
        if (m_opensSinceEmpty <= 1 && !m_empty.empty() && name == m_empty.back().name) {
            reopen();
            return;
        }
        for (qsizetype i = size() - 1; i >= 0; --i) {
            if (entry(i).name == name) {
                if (!entry(i).uncertain) {
                    popTo(i);
                } else { // the toolkit may have closed these, or kept them open
                    for (qsizetype j = i; j < size(); ++j)
                        entry(j).uncertain = true;
                }
                return;
            }
        }
    }

    // "</br>" after "<br>" and closing tags, or one opening tag, may take the toolkit back into
    // what held the br, opening again what was closed since. Those count as open once more, on
    // top of what is open, uncertain.
    void reopen() {
        qsizetype same = 0;
        const qsizetype held = static_cast<qsizetype>(m_empty.size()) - 1;
        while (same < held && same < size() &&
               entry(same).name == m_empty[static_cast<std::size_t>(same)].name)
            ++same;
        for (qsizetype i = same; i < held; ++i) {
            Open again = m_empty[static_cast<std::size_t>(i)];
            again.uncertain = true;
            again.table = TableShape{};
            push(std::move(again));
        }
    }

    // One character of text; both halves of a surrogate pair at once.
    void character(QChar c) {
        const qsizetype start = m_pos - 1;
        if (c.isHighSurrogate() && m_pos < m_text.size() && m_text[m_pos].isLowSurrogate())
            ++m_pos;
        text(m_text.mid(start, m_pos - start));
    }

    void text(QStringView chars) {
        for (qsizetype i = 0; i < chars.size(); ++i) {
            char32_t c = chars[i].unicode();
            if (chars[i].isHighSurrogate() && i + 1 < chars.size() &&
                chars[i + 1].isLowSurrogate()) {
                c = QChar::surrogateToUcs4(chars[i], chars[i + 1]);
                ++i;
            }
            m_marks = QChar::isMark(c) ? m_marks + 1 : 0;
            m_result.marksInARow = std::max(m_result.marksInARow, m_marks);
            if (m_inStyleText && (c == u'{' || c == u','))
                ++m_result.styleSelectors;
        }
    }

    QStringView m_text;
    qsizetype m_pos = 0;
    std::vector<Open> m_open;
    // The last empty element with what held it, and the opening tags since.
    std::vector<Open> m_empty;
    std::size_t m_opensSinceEmpty = 0;
    std::size_t m_marks = 0;       // marks since the last other character
    std::size_t m_styleSheets = 0; // style and link elements so far
    // The text right after a style tag (comments left out) is the toolkit's style sheet.
    bool m_inStyleText = false;
    HelpStructure m_result;
};

} // namespace

HelpStructure readHelpText(QStringView html) {
    return Reader(html).read();
}

} // namespace zelmak
