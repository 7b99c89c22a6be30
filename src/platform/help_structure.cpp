#include "help_structure.h"
#include "help_reader.h"

#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <algorithm>
#include <vector>

namespace zelmak {

HelpStructure measureHelpStructure(QStringView html) {
    // The toolkit reads only the fragment a document marks, if it marks one.
    const qsizetype start = html.indexOf(u"<!--StartFragment-->");
    if (start >= 0) {
        const qsizetype end = html.indexOf(u"<!--EndFragment-->");
        html = start < end ? html.mid(start, end - start) : html.mid(start);
    }
    return readHelpText(html);
}

void measureHelpTables(const QTextDocument& document, HelpStructure& structure) {
    structure.tableNesting = 0;
    structure.tableCells = 0;
    struct Level {
        const QTextFrame* frame;
        std::size_t tables;
    };
    std::vector<Level> todo{{document.rootFrame(), 0}};
    while (!todo.empty()) {
        const Level level = todo.back();
        todo.pop_back();
        for (const QTextFrame* child : level.frame->childFrames()) {
            std::size_t tables = level.tables;
            if (const auto* table = qobject_cast<const QTextTable*>(child)) {
                ++tables;
                const std::size_t grid = saturatingMul(static_cast<std::size_t>(table->rows()),
                                                       static_cast<std::size_t>(table->columns()));
                const std::size_t weight = std::size_t{1} << std::min<std::size_t>(tables - 1, 32);
                structure.tableCells =
                    saturatingAdd(structure.tableCells, saturatingMul(grid, weight));
            }
            structure.tableNesting = std::max(structure.tableNesting, tables);
            todo.push_back({child, tables});
        }
    }
}

std::size_t countStyleSelectors(QStringView css) {
    return static_cast<std::size_t>(css.count(u'{') + css.count(u','));
}

std::optional<QString> helpStructureRefusal(const HelpStructure& s) {
    using L = HelpLimits;
    QString why;
    if (s.depth > L::kDepth)
        why = QStringLiteral("its elements are nested more than %1 deep").arg(L::kDepth);
    else if (s.tableNesting > L::kTableNesting)
        why = QStringLiteral("its tables are nested more than %1 deep").arg(L::kTableNesting);
    else if (s.tableCells > L::kTableCells)
        why = QStringLiteral("its tables have more than %1 cells").arg(L::kTableCells);
    else if (s.listItems > L::kListItems)
        why = QStringLiteral("its lists have more than %1 items").arg(L::kListItems);
    else if (s.images > L::kImages)
        why = QStringLiteral("it has more than %1 images").arg(L::kImages);
    else if (s.elements > L::kElements)
        why = QStringLiteral("it has more than %1 elements").arg(L::kElements);
    else if (s.styleSelectors > L::kStyleSelectors)
        why =
            QStringLiteral("its style sheets have more than %1 selectors").arg(L::kStyleSelectors);
    else if (s.marksInARow > L::kMarksInARow)
        why =
            QStringLiteral("a character carries more than %1 combining marks").arg(L::kMarksInARow);
    else
        return std::nullopt;
    return QStringLiteral("This help document is not shown: %1.").arg(why);
}

} // namespace zelmak
