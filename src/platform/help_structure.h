#pragma once

#include <QString>
#include <QStringView>

#include <cstddef>
#include <optional>

class QTextDocument;

namespace zelmak {

// What the toolkit would build from a help document. With some shapes of document the toolkit
// takes time that grows far faster than the text: each level of tables in tables doubles the
// layout, and deep nesting, long lists and large table grids cost the square or more, so that a
// document of a few kilobytes can hold the window for minutes. Hence two checks: one on the text,
// before the toolkit reads it, and one on the tables read, before they are laid out.
struct HelpStructure {
    // Counted from the text in one pass, reading tags as the toolkit does (every "<" starts one;
    // its rules for quotes, references, comments and for the tags that close others). Where its
    // reading is not certain the count is larger, never smaller.
    std::size_t elements = 0;  // tags opened
    std::size_t depth = 0;     // deepest nesting of elements
    std::size_t listItems = 0; // list items in all
    std::size_t images = 0;
    std::size_t styleSelectors = 0; // selectors of the style elements (each "{" and ",")
    std::size_t marksInARow = 0;    // the most combining marks on one character
    // From the text a bound; from the document read, the rows times the columns of every table,
    // twice that for a table in a table, four times in a third level (each level doubles the
    // layout).
    std::size_t tableCells = 0;
    // From the document read: tables in tables.
    std::size_t tableNesting = 0;
};

// The limits, far above what our help uses (depth 8, one level of tables, 135 cells, 47 list
// items, 520 elements, no image, no style sheet, no combining marks), and low enough that a
// document at any one of them is shown in well under a second (bench/help_bench.cpp).
struct HelpLimits {
    static constexpr std::size_t kElements = 20'000;
    static constexpr std::size_t kDepth = 64;
    static constexpr std::size_t kTableNesting = 3;
    static constexpr std::size_t kTableCells = 3'000;
    static constexpr std::size_t kListItems = 1'000;
    static constexpr std::size_t kImages = 256; // many in one paragraph cost the square
    static constexpr std::size_t kStyleSelectors = 100;
    // Unicode's stream-safe text never puts more than 30 marks on a character.
    static constexpr std::size_t kMarksInARow = 30;
};

// The counts of the text; it stops once a limit is passed, so its time stays linear.
HelpStructure measureHelpStructure(QStringView html);

// Fills in the tables of a document read but not laid out.
void measureHelpTables(const QTextDocument& document, HelpStructure& structure);

// The line the help window shows instead of a document beyond a limit; nothing when within.
std::optional<QString> helpStructureRefusal(const HelpStructure& structure);

// Selectors a style sheet brings, counted from above: every "{" and ",".
std::size_t countStyleSelectors(QStringView css);

} // namespace zelmak
