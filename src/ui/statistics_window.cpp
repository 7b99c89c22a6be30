#include "statistics_window.h"

#include "machine/key_alphabet.h"
#include "session/session.h"
#include "window_placing.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zelmak {

namespace {

constexpr std::size_t kSymbols = kSymbolCount;
constexpr std::uint8_t kSkipped = kSymbols; // the counter no symbol has

// Each byte's symbol by the rules "Automatic" keys a text with.
constexpr std::array<std::uint8_t, 256> kSymbolOfByte = [] {
    std::array<std::uint8_t, 256> table{};
    table.fill(kSkipped);
    for (int i = 1; i <= kSymbolCount; ++i) {
        const char symbol = keySymbol(i);
        const auto k = static_cast<std::uint8_t>(i - 1);
        table[static_cast<unsigned char>(symbol)] = k;
        if (symbol >= 'A' && symbol <= 'Z')
            table[static_cast<unsigned char>(symbol - 'A' + 'a')] = k;
    }
    table[static_cast<unsigned char>(' ')] = analysis::kWordSpace;
    table[static_cast<unsigned char>('_')] = analysis::kWordSpace;
    return table;
}();

struct PaneName {
    const char* design; // the pane's name in the main window
    const char* what;
};
constexpr std::array<PaneName, kPaneCount> kPaneNames{
    {{"Eingabe", "input"}, {"Ausgabe", "output"}, {"lade", "loaded text"}}}; // in the order of Pane

QString paneTitle(std::size_t p) {
    return QStringLiteral("%1 (%2)").arg(QString::fromLatin1(kPaneNames[p].design),
                                         QString::fromLatin1(kPaneNames[p].what));
}

QString coincidenceText(const analysis::TextStatistics& stats) {
    if (stats.total == 0)
        return StatisticsWindow::tr("no symbols");
    if (stats.total == 1)
        return StatisticsWindow::tr("1 symbol");
    return StatisticsWindow::tr("%1 symbols, index of coincidence %2")
        .arg(stats.total)
        .arg(stats.indexOfCoincidence, 0, 'f', 4);
}

} // namespace

analysis::TextStatistics countSymbols(std::string_view text) {
    // Four rows of counters, so that a run of one symbol does not wait on a single counter.
    std::array<std::array<std::uint64_t, kSymbols + 1>, 4> rows{};
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
    for (; i + 4 <= size; i += 4) {
        ++rows[0][kSymbolOfByte[bytes[i]]];
        ++rows[1][kSymbolOfByte[bytes[i + 1]]];
        ++rows[2][kSymbolOfByte[bytes[i + 2]]];
        ++rows[3][kSymbolOfByte[bytes[i + 3]]];
    }
    for (; i < size; ++i)
        ++rows[0][kSymbolOfByte[bytes[i]]];

    analysis::TextStatistics stats;
    double pairs = 0;
    for (std::size_t k = 0; k < kSymbols; ++k) {
        const std::uint64_t n = rows[0][k] + rows[1][k] + rows[2][k] + rows[3][k];
        stats.counts[k] = n;
        stats.total += n;
        pairs += static_cast<double>(n) * (static_cast<double>(n) - 1);
    }
    const auto total = static_cast<double>(stats.total);
    if (stats.total > 1)
        stats.indexOfCoincidence = pairs / (total * (total - 1));
    return stats;
}

StatisticsWindow::StatisticsWindow(const Session& session, QWidget* parent)
    : QDialog(parent), m_session(session) {
    setObjectName(QStringLiteral("StatisticsWindow"));
    setWindowTitle(tr("Zelmak statistics"));
    setModal(false);
    m_redrawTimer.setSingleShot(true);
    m_redrawTimer.setInterval(kRedrawMs);
    connect(&m_redrawTimer, &QTimer::timeout, this, &StatisticsWindow::redraw);

    const analysis::LanguageModel german = analysis::LanguageModel::german();
    buildChart(german);

    auto* figures = new QVBoxLayout;
    for (std::size_t p = 0; p < kPaneCount; ++p) {
        m_coincidence[p] = new QLabel(this);
        m_coincidence[p]->setObjectName(
            QStringLiteral("Coincidence_%1").arg(QString::fromLatin1(kPaneNames[p].design)));
        m_coincidence[p]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        figures->addWidget(m_coincidence[p]);
    }
    double germanPairs = 0;
    for (const double share : german.frequencies())
        germanPairs += share * share;
    auto* references = new QLabel(tr("Index of coincidence of German text %1, of uniform text %2 "
                                     "(1/31)")
                                      .arg(germanPairs, 0, 'f', 4)
                                      .arg(1.0 / kSymbolCount, 0, 'f', 4),
                                  this);
    references->setObjectName(QStringLiteral("CoincidenceReferences"));
    figures->addWidget(references);

    auto* close = new QPushButton(tr("Close"), this);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* bottom = new QHBoxLayout;
    bottom->addLayout(figures, 1);
    bottom->addWidget(close, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addLayout(bottom);
    resize(980, 600);
}

void StatisticsWindow::buildChart(const analysis::LanguageModel& german) {
    auto* series = new QBarSeries;
    series->setBarWidth(0.8);
    for (std::size_t p = 0; p < kPaneCount; ++p) {
        m_bars[p] = new QBarSet(paneTitle(p));
        m_bars[p]->append(QList<qreal>(kSymbolCount, 0.0));
        series->append(m_bars[p]);
    }

    // The reference lines run over the bars' categories: category k is at x = k.
    auto* germanLine = new QLineSeries;
    germanLine->setName(tr("German text"));
    germanLine->setPointsVisible(true);
    for (int k = 0; k < kSymbolCount; ++k) {
        const double share = 100 * german.frequencies()[static_cast<std::size_t>(k)];
        germanLine->append(k, share);
        m_germanTop = std::max(m_germanTop, share);
    }
    germanLine->setPen(QPen(QColor(0x20, 0x20, 0x20), 2));
    auto* uniformLine = new QLineSeries;
    uniformLine->setName(tr("Uniform text (1/31)"));
    uniformLine->append(-0.5, 100.0 / kSymbolCount);
    uniformLine->append(kSymbolCount - 0.5, 100.0 / kSymbolCount);
    uniformLine->setPen(QPen(QColor(0xC0, 0x10, 0x10), 2, Qt::DashLine));

    m_chart = new QChart;
    m_chart->setTitle(tr("Shares of the 31 symbols in the panes"));
    m_chart->addSeries(series);
    m_chart->addSeries(germanLine);
    m_chart->addSeries(uniformLine);
    m_chart->legend()->setAlignment(Qt::AlignTop);

    auto* symbols = new QBarCategoryAxis;
    for (int i = 1; i <= kSymbolCount; ++i)
        symbols->append(QString(QLatin1Char(keySymbol(i))));
    symbols->setTitleText(tr("Symbol, in the order of the machine's alphabet (Y is also the word "
                             "space)"));
    m_shares = new QValueAxis;
    m_shares->setLabelFormat(QStringLiteral("%.0f"));
    m_shares->setTitleText(tr("Share in %"));
    m_chart->addAxis(symbols, Qt::AlignBottom);
    m_chart->addAxis(m_shares, Qt::AlignLeft);
    for (QAbstractSeries* s : m_chart->series()) {
        s->attachAxis(symbols);
        s->attachAxis(m_shares);
    }

    m_view = new QChartView(m_chart, this);
    m_view->setObjectName(QStringLiteral("StatisticsChart"));
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setAccessibleName(tr("Shares of the 31 symbols in the panes"));
}

void StatisticsWindow::showBeside(const QWidget& main) {
    if (!m_placed) {
        placeBeside(*this, main);
        m_placed = true;
    }
    show();
    raise();
    activateWindow();
}

void StatisticsWindow::panesChanged() {
    if (isVisible() && !m_redrawTimer.isActive())
        m_redrawTimer.start();
}

void StatisticsWindow::redraw() {
    m_redrawTimer.stop();
    ++m_redraws;
    double top = std::max(m_germanTop, 100.0 / kSymbolCount);
    QStringList described;
    for (std::size_t p = 0; p < kPaneCount; ++p) {
        const analysis::TextStatistics stats =
            countSymbols(m_session.paneText(static_cast<Pane>(p)));
        for (std::size_t k = 0; k < kSymbols; ++k) {
            const double share = stats.total ? 100.0 * static_cast<double>(stats.counts[k]) /
                                                   static_cast<double>(stats.total)
                                             : 0.0;
            if (m_bars[p]->at(static_cast<int>(k)) != share)
                m_bars[p]->replace(static_cast<int>(k), share);
            top = std::max(top, share);
        }
        const QString line = paneTitle(p) + QStringLiteral(": ") + coincidenceText(stats);
        m_coincidence[p]->setText(line);
        described << line;
    }
    m_shares->setRange(0, std::ceil(top / 5) * 5);
    m_view->setAccessibleDescription(described.join(QLatin1Char('\n')));
}

void StatisticsWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    redraw(); // nothing was counted while the window was hidden
}

void StatisticsWindow::hideEvent(QHideEvent* event) {
    m_redrawTimer.stop();
    QDialog::hideEvent(event);
}

} // namespace zelmak
