#pragma once

#include "analysis/language_model.h"
#include "session/controls.h"

#include <QDialog>
#include <QTimer>

#include <array>
#include <string_view>

class QBarSet;
class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QValueAxis;

namespace zelmak {

class Session;

// The symbols of a text as "Automatic" would key them (a..z as A..Z, a blank or "_" the word
// space, every other character skipped), counted; the score is left out.
analysis::TextStatistics countSymbols(std::string_view text);

// The statistics window: a window beside the main window with the shares of the 31 symbols in the
// input, output and loaded-text panes as bars, the index of coincidence of each, and German text
// and uniform text as reference lines; it shows how the machine flattens a text's frequencies.
// It reads the panes from the session and changes nothing.
class StatisticsWindow : public QDialog {
    Q_OBJECT

public:
    // However many changes come, the window redraws at most once in this time.
    static constexpr int kRedrawMs = 200;

    StatisticsWindow(const Session& session, QWidget* parent);

    // Opens (or raises) the window, the first time beside the main window.
    void showBeside(const QWidget& main);
    // A pane changed: redrawn once within kRedrawMs; nothing at all while the window is hidden.
    void panesChanged();
    // Recounts the panes and redraws the chart now.
    void redraw();

    int redraws() const { return m_redraws; }
    QChart* chart() const { return m_chart; }
    QBarSet* bars(Pane pane) const { return m_bars.at(static_cast<std::size_t>(pane)); }
    QLabel* coincidence(Pane pane) const {
        return m_coincidence.at(static_cast<std::size_t>(pane));
    }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildChart(const analysis::LanguageModel& german);

    const Session& m_session;
    QTimer m_redrawTimer;
    QChart* m_chart = nullptr;
    QChartView* m_view = nullptr;
    QValueAxis* m_shares = nullptr;
    std::array<QBarSet*, kPaneCount> m_bars{};
    std::array<QLabel*, kPaneCount> m_coincidence{};
    double m_germanTop = 0; // the largest share of German text, in percent
    int m_redraws = 0;
    bool m_placed = false;
};

} // namespace zelmak
