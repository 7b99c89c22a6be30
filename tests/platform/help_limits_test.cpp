// Help documents whose shape would hold the window for minutes are refused with one line, before
// the toolkit lays them out; the documents here are small enough that they would show at once.
#include "platform/help_structure.h"
#include "platform/help_viewer.h"
#include "temp_dir.h"

#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>
#include <QTextTable>
#include <QWidget>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>
#include <set>

namespace zelmak {
namespace {

namespace fs = std::filesystem;

std::string times(std::size_t n, const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < n; ++i)
        out += s;
    return out;
}

std::string nestedTables(std::size_t n) {
    return times(n, "<table><tr><td>") + "x" + times(n, "</td></tr></table>");
}

// A table of rows of cells spanning columns.
std::string table(std::size_t rows, std::size_t colspan) {
    return "<table>" +
           times(rows, "<tr><td colspan=\"" + std::to_string(colspan) + "\">x</td></tr>") +
           "</table>";
}

std::string styleSheet(std::size_t selectors) {
    return "<style>" + times(selectors, "p {color: red}") + "</style>";
}

std::string acute(std::size_t marks) {
    return "<p>e" + times(marks, "\xcc\x81") + "</p>";
}

class HelpLimitsTest : public ::testing::Test {
protected:
    HelpLimitsTest() {
        fs::create_directories(m_tmp.path() / "bin");
        m_owner.show();
    }

    // What the help window shows for a document of this body.
    QTextBrowser* show(const std::string& body) {
        test::writeFile((m_tmp.path() / "bin/ZELMAK.HLP").string(), body);
        BrowserHelpViewer(QString::fromStdString((m_tmp.path() / "bin").string()))
            .showContents(&m_owner, "ZELMAK.HLP");
        return m_owner.findChild<QTextBrowser*>(
            QString::fromLatin1(BrowserHelpViewer::kBrowserName));
    }

    test::TempDir m_tmp;
    QWidget m_owner;
};

struct LimitRow {
    const char* name;
    std::function<std::string()> body; // follows a heading "Zelmak Help"
    const char* refusal;               // what the line names, or "" when the document is shown
};

void PrintTo(const LimitRow& row, std::ostream* os) {
    *os << row.name;
}

class HelpLimitRows : public HelpLimitsTest, public ::testing::WithParamInterface<LimitRow> {};

TEST_P(HelpLimitRows, RefusesWithOneLineWhatWouldHoldTheWindowAndShowsTheRest) {
    const LimitRow& row = GetParam();
    QTextBrowser* browser = show("<h1>Zelmak Help</h1>" + row.body());
    ASSERT_NE(browser, nullptr);
    const QString shown = browser->toPlainText();
    if (*row.refusal == '\0') {
        EXPECT_TRUE(shown.startsWith(QStringLiteral("Zelmak Help")))
            << shown.left(200).toStdString();
    } else {
        EXPECT_TRUE(shown.startsWith(QStringLiteral("This help document is not shown: ")))
            << shown.left(200).toStdString();
        EXPECT_TRUE(shown.contains(QString::fromLatin1(row.refusal))) << shown.toStdString();
        EXPECT_FALSE(shown.contains(QLatin1Char('\n')));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HelpLimitRows,
    ::testing::Values(
        LimitRow{"tables_3_deep", [] { return nestedTables(3); }, ""},
        LimitRow{"tables_4_deep", [] { return nestedTables(4); }, "nested more than 3 deep"},
        LimitRow{"tables_4_deep_by_lone_cells", [] { return "<td>" + nestedTables(3); },
                 "nested more than 3 deep"},
        LimitRow{"cells_3000", [] { return table(2, 1500); }, ""},
        LimitRow{"cells_3001", [] { return table(1, 3001); }, "more than 3000 cells"},
        // 1 + 2 + 4 * 749 = 2999 and 1 + 2 + 4 * 750 = 3003.
        LimitRow{"third_level_749_cells",
                 [] { return times(2, "<table><tr><td>") + table(1, 749); }, ""},
        LimitRow{"third_level_750_cells",
                 [] { return times(2, "<table><tr><td>") + table(1, 750); },
                 "more than 3000 cells"},
        LimitRow{"ragged_rows_count_whole",
                 [] { return table(1, 100) + "<table>" + times(50, "<tr><td>x"); }, ""},
        LimitRow{"ragged_rows_in_one_table",
                 [] {
                     return "<table><tr>" + times(100, "<td>x") + times(50, "<tr><td>x") +
                            "</table>";
                 },
                 "more than 3000 cells"},
        LimitRow{"spans_in_capitals", [] { return "<TABLE><TR><TD COLSPAN=' 3001 '>x</TABLE>"; },
                 "more than 3000 cells"},
        LimitRow{"nesting_64", [] { return times(64, "<div>") + "x"; }, ""},
        LimitRow{"nesting_65", [] { return times(65, "<div>") + "x"; }, "nested more than 64 deep"},
        LimitRow{"nesting_of_unknown_tags", [] { return times(65, "<x-y>") + "x"; },
                 "nested more than 64 deep"},
        LimitRow{"paragraphs_left_open_are_not_nested", [] { return times(500, "<p>x <b>y"); }, ""},
        LimitRow{"list_items_1000", [] { return "<ol>" + times(1000, "<li>x") + "</ol>"; }, ""},
        LimitRow{"list_items_1001", [] { return "<ol>" + times(1001, "<li>x") + "</ol>"; },
                 "more than 1000 items"},
        LimitRow{"elements_20000", [] { return times(19999, "<b></b>"); }, ""},
        LimitRow{"elements_20001", [] { return times(20000, "<b></b>"); },
                 "more than 20000 elements"},
        LimitRow{"images_256", [] { return times(256, "<img src=\"seal.png\">"); }, ""},
        LimitRow{"images_257", [] { return times(257, "<img src=\"seal.png\">"); },
                 "more than 256 images"},
        LimitRow{"selectors_100", [] { return styleSheet(100); }, ""},
        LimitRow{"selectors_101", [] { return styleSheet(101); }, "more than 100 selectors"},
        LimitRow{"marks_30", [] { return acute(30); }, ""},
        LimitRow{"marks_31", [] { return acute(31); }, "more than 30 combining marks"},
        LimitRow{"marks_as_references", [] { return "<p>e" + times(31, "&#769;") + "</p>"; },
                 "more than 30 combining marks"},
        LimitRow{"tables_in_a_comment", [] { return "<!--" + nestedTables(9) + "-->"; }, ""},
        LimitRow{"closing_tag_in_quotes_closes_nothing",
                 [] { return times(65, "<div title=\"</div>\">") + "x"; },
                 "nested more than 64 deep"},
        LimitRow{"shipped_help",
                 [] {
                     return test::readFile(
                         (fs::path(ZELMAK_SOURCE_DIR) / "data" / "ZELMAK.HLP").string());
                 },
                 ""}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(HelpLimitsTest, ALongWordRunsPastTheEdgeInsteadOfBeingCutAnywhere) {
    QTextBrowser* browser = show("<h1>Zelmak Help</h1><p>" + std::string(20000, 'x') + "</p>");
    ASSERT_NE(browser, nullptr);
    browser->window()->grab();
    const QTextBlock word = browser->document()->lastBlock();
    ASSERT_EQ(word.length(), 20001);
    EXPECT_EQ(word.layout()->lineCount(), 1);
}

TEST_F(HelpLimitsTest, LinkedStyleSheetsShareTheLimitOfSelectors) {
    for (const auto& [selectors, applied] :
         {std::pair<std::size_t, bool>{99, true}, {101, false}}) {
        test::writeFile((m_tmp.path() / "bin/style.css").string(),
                        "p {color: #ff0000}" + times(selectors - 1, "b {color: blue}"));
        QTextBrowser* browser =
            show("<html><head><link rel=\"stylesheet\" type=\"text/css\" "
                 "href=\"style.css\"></head><body><p>Zelmak Help</p></body></html>");
        ASSERT_NE(browser, nullptr);
        const QColor color =
            browser->document()->firstBlock().begin().fragment().charFormat().foreground().color();
        EXPECT_EQ(color == QColor(Qt::red), applied) << selectors;
    }
}

// The counts of the text against what the toolkit builds from random tag soup: never fewer
// cells, list items or levels of lists.
TEST(HelpStructure, CountsNoLessThanTheToolkitBuilds) {
    const QStringList tokens =
        QStringLiteral("<table>|</table>|<tr>|</tr>|<td>|</td>|<th>|<td colspan=3>|"
                       "<td rowspan=3 colspan=2>|<ul>|</ul>|<ol>|<li>|<p>|</p>|<P>|<b>|</b>|<div>|"
                       "</div>|<tbody>|<caption>|<dl>|<dt>|<dd>|<br>|</br>|<img>|<!--|-->|<|>|/|\"|"
                       "=| |x|&#x74;|t&#97;ble|<td/>|<blockquote>|</blockquote>|<style>|<>|"
                       "<span style=\"display:block\">")
            .split(QLatin1Char('|'));
    std::mt19937 random(18);
    for (int doc = 0; doc < 8000; ++doc) {
        QString html;
        for (std::size_t n = 1 + random() % 40; n > 0; --n)
            html +=
                tokens[static_cast<qsizetype>(random() % static_cast<std::size_t>(tokens.size()))];
        const HelpStructure counted = measureHelpStructure(html);
        QTextDocument read;
        read.setHtml(html);
        std::size_t cells = 0;
        std::vector<QTextFrame*> frames{read.rootFrame()};
        while (!frames.empty()) {
            QTextFrame* frame = frames.back();
            frames.pop_back();
            if (auto* t = qobject_cast<QTextTable*>(frame))
                cells += static_cast<std::size_t>(t->rows() * t->columns());
            for (QTextFrame* child : frame->childFrames())
                frames.push_back(child);
        }
        std::set<QTextList*> lists;
        std::size_t items = 0;
        std::size_t listDepth = 0;
        for (QTextBlock b = read.begin(); b != read.end(); b = b.next()) {
            if (QTextList* list = b.textList(); list && lists.insert(list).second) {
                items += static_cast<std::size_t>(list->count());
                listDepth = std::max(listDepth, static_cast<std::size_t>(list->format().indent()));
            }
        }
        EXPECT_GE(counted.tableCells, cells) << html.toStdString();
        EXPECT_GE(counted.listItems, items) << html.toStdString();
        EXPECT_GE(counted.depth, listDepth) << html.toStdString();
    }
}

} // namespace
} // namespace zelmak
