#include "break_window.h"

#include "analysis/completion.h"
#include "analysis/crib_search.h"
#include "analysis/disc_maps.h"
#include "analysis/start_search.h"
#include "break_job.h"
#include "dialogs.h"
#include "files/text_files.h"
#include "session/session.h"
#include "window_placing.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>
#include <stdexcept>

namespace zelmak {

using namespace analysis;

namespace {

constexpr std::size_t kRows = 20;

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

// "N" or "N-M"; nothing for anything else.
std::optional<std::pair<int, int>> offsetRange(const QString& typed) {
    const QString t = typed.trimmed();
    if (t.isEmpty())
        return std::pair{0, 0};
    const QStringList parts = t.split(QLatin1Char('-'));
    if (parts.size() > 2)
        return std::nullopt;
    bool ok = true;
    const int first = parts[0].trimmed().toInt(&ok);
    if (!ok || parts[0].trimmed().startsWith(QLatin1Char('+')))
        return std::nullopt;
    int last = first;
    if (parts.size() == 2) {
        last = parts[1].trimmed().toInt(&ok);
        if (!ok || last < first)
            return std::nullopt;
    }
    return std::pair{first, last};
}

QString duration(double seconds) {
    if (seconds < 0)
        return QStringLiteral("—");
    if (seconds < 90)
        return QStringLiteral("%1 s").arg(std::lround(seconds));
    return QStringLiteral("%1 min").arg(std::lround(seconds / 60));
}

QString candidateCount(std::size_t n) {
    return n == 1 ? QObject::tr("1 candidate") : QObject::tr("%1 candidates").arg(n);
}

} // namespace

BreakWindow::BreakWindow(Session& session, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), m_session(session), m_dialogs(dialogs),
      m_model(LanguageModel::german()), m_job(std::make_unique<BreakJob>()) {
    setObjectName(QStringLiteral("BreakWindow"));
    setWindowTitle(tr("Break a message"));
    build();
    connect(m_job.get(), &BreakJob::progressed, this, &BreakWindow::showProgress);
    connect(m_job.get(), &BreakJob::finished, this,
            [this](const SearchResult& r, const QString& error) {
                if (m_completing >= 0)
                    completionEnded(r, error);
                else
                    searchEnded(r, error);
            });
}

BreakWindow::~BreakWindow() = default;

void BreakWindow::build() {
    const auto field = [this](QWidget* w, const char* name, const QString& accessible) {
        w->setObjectName(QString::fromLatin1(name));
        w->setAccessibleName(accessible);
        w->installEventFilter(this);
        return w;
    };
    const auto errorLabel = [this](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setStyleSheet(QStringLiteral("color: #b00020"));
        l->setWordWrap(true);
        return l;
    };
    const auto row = [](QWidget* w, QLabel* error) {
        auto* h = new QHBoxLayout;
        h->addWidget(w, 2);
        h->addWidget(error, 3);
        return h;
    };

    m_source = new QComboBox(this);
    m_source->addItems({tr("Loaded text"), tr("Output pane"), tr("File…")});
    field(m_source, "Message", tr("Message"));
    m_crib = new QLineEdit(this);
    m_crib->setPlaceholderText(tr("words the message probably holds"));
    field(m_crib, "Crib", tr("Crib"));
    m_offset = new QLineEdit(QStringLiteral("0"), this);
    m_offset->setPlaceholderText(tr("N or N-M"));
    field(m_offset, "Offset", tr("Offset"));
    m_order = new QLineEdit(this);
    m_order->setPlaceholderText(tr("blank for any, or five digits such as 31425"));
    field(m_order, "DiscOrder", tr("Disc order"));
    m_acceptedCard = new QCheckBox(tr("Use the accepted card"), this);
    field(m_acceptedCard, "UseAcceptedCard", tr("Use the accepted card"));
    m_start = new QPushButton(tr("Start"), this);
    field(m_start, "Start", tr("Start"));

    m_sourceError = errorLabel("MessageError");
    m_cribError = errorLabel("CribError");
    m_offsetError = errorLabel("OffsetError");
    m_orderError = errorLabel("DiscOrderError");
    m_cardError = errorLabel("UseAcceptedCardError");

    auto* form = new QFormLayout;
    form->addRow(tr("Message:"), row(m_source, m_sourceError));
    form->addRow(tr("Crib:"), row(m_crib, m_cribError));
    form->addRow(tr("Offset:"), row(m_offset, m_offsetError));
    form->addRow(tr("Disc order:"), row(m_order, m_orderError));
    form->addRow(QString(), row(m_acceptedCard, m_cardError));

    m_estimate = new QLabel(this);
    m_estimate->setObjectName(QStringLiteral("Status"));
    m_estimate->setWordWrap(true);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("Progress"));
    m_progress->setAccessibleName(tr("Progress"));
    m_progress->setRange(0, 1000);
    m_progress->setFormat(QStringLiteral("%p %"));
    m_speed = new QLabel(this);
    m_speed->setObjectName(QStringLiteral("Speed"));
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("Cancel"));
    m_cancel->setAccessibleName(tr("Cancel"));
    m_cancel->setEnabled(false);
    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(m_start);
    progressRow->addWidget(m_progress, 1);
    progressRow->addWidget(m_speed);
    progressRow->addWidget(m_cancel);

    m_table = new QTableWidget(0, 5, this);
    m_table->setObjectName(QStringLiteral("Candidates"));
    m_table->setAccessibleName(tr("Candidates"));
    m_table->setHorizontalHeaderLabels({tr("Offset"), tr("Disc order"), tr("Start positions"),
                                        tr("Card entries fixed"), tr("Score")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("CandidateText"));
    m_text->setAccessibleName(tr("The message as the candidate reads it"));
    m_text->setReadOnly(true);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setWordWrapMode(QTextOption::WrapAnywhere);

    m_complete = new QPushButton(tr("Complete the card"), this);
    m_complete->setObjectName(QStringLiteral("CompleteCard"));
    m_complete->setAccessibleName(tr("Complete the card"));
    m_use = new QPushButton(tr("Use this setting (Alt+U)"), this);
    m_use->setObjectName(QStringLiteral("UseSetting"));
    m_use->setAccessibleName(tr("Use this setting"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_complete);
    buttons->addWidget(m_use);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(progressRow);
    layout->addWidget(m_estimate);
    layout->addWidget(m_table, 2);
    layout->addWidget(m_text, 1);
    layout->addLayout(buttons);
    resize(760, 620);

    setTabOrder(m_source, m_crib);
    setTabOrder(m_crib, m_offset);
    setTabOrder(m_offset, m_order);
    setTabOrder(m_order, m_acceptedCard);
    setTabOrder(m_acceptedCard, m_start);

    connect(m_source, &QComboBox::activated, this, &BreakWindow::chooseSource);
    connect(m_start, &QPushButton::clicked, this, &BreakWindow::startSearch);
    connect(m_cancel, &QPushButton::clicked, this, &BreakWindow::cancelSearch);
    connect(m_complete, &QPushButton::clicked, this, &BreakWindow::completeCard);
    connect(m_use, &QPushButton::clicked, this, &BreakWindow::useSetting);
    connect(m_table, &QTableWidget::currentCellChanged, this, [this] { showSelected(); });

    auto* escape = new QAction(this);
    escape->setShortcut(Qt::Key_Escape);
    escape->setShortcutContext(Qt::WindowShortcut);
    connect(escape, &QAction::triggered, this, &BreakWindow::cancelSearch);
    addAction(escape);
    auto* use = new QAction(this);
    use->setShortcut(QKeySequence(Qt::ALT | Qt::Key_U));
    use->setShortcutContext(Qt::WindowShortcut);
    connect(use, &QAction::triggered, this, [this] {
        if (m_use->isEnabled())
            useSetting();
    });
    addAction(use);
    showSelected();
}

void BreakWindow::open() {
    if (!m_placed && parentWidget() != nullptr)
        placeBeside(*this, *parentWidget());
    m_placed = true;
    show();
    raise();
    activateWindow();
    m_crib->setFocus();
}

bool BreakWindow::searching() const {
    return m_job->running();
}

bool BreakWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && watched != m_start) {
            startSearch();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void BreakWindow::chooseSource(int index) {
    if (index != static_cast<int>(Source::File))
        return;
    clearErrors();
    try {
        const auto chosen = m_dialogs.runOpenDialog(kTextFileFilter);
        if (!chosen) {
            m_source->setCurrentIndex(m_fileText.empty() ? 0 : index);
            return;
        }
        m_fileText = readTextFile(*chosen);
        m_source->setItemText(index, tr("File: %1").arg(QFileInfo(text(*chosen)).fileName()));
    } catch (const std::exception& e) {
        m_fileText.clear();
        m_source->setItemText(index, tr("File…"));
        m_source->setCurrentIndex(0);
        refuse(m_sourceError, QString::fromUtf8(e.what()));
    }
}

void BreakWindow::clearErrors() {
    for (QLabel* l : {m_sourceError, m_cribError, m_offsetError, m_orderError, m_cardError})
        l->clear();
}

void BreakWindow::refuse(QLabel* next, const QString& why) {
    QString line = why;
    if (!line.isEmpty())
        line[0] = line[0].toUpper();
    if (!line.endsWith(QLatin1Char('.')))
        line += QLatin1Char('.');
    next->setText(line);
}

std::optional<std::vector<Symbol>> BreakWindow::readSource() {
    const auto source = static_cast<Source>(m_source->currentIndex());
    const std::string_view bytes = source == Source::Loaded   ? m_session.paneText(Pane::Loaded)
                                   : source == Source::Output ? m_session.paneText(Pane::Output)
                                                              : std::string_view(m_fileText);
    try {
        std::vector<Symbol> message = readMessage(bytes);
        if (message.empty()) {
            refuse(m_sourceError, tr("The message is empty"));
            return std::nullopt;
        }
        return message;
    } catch (const InputError& e) {
        refuse(m_sourceError, QString::fromUtf8(e.what()));
        return std::nullopt;
    }
}

void BreakWindow::startSearch() {
    if (m_job->running())
        return;
    clearErrors();
    const auto message = readSource();
    std::vector<Symbol> crib;
    bool good = message.has_value();
    try {
        crib = readCrib(m_crib->text().toStdString());
    } catch (const InputError& e) {
        refuse(m_cribError, QString::fromUtf8(e.what()));
        good = false;
    }
    const bool useCard = m_acceptedCard->isChecked();
    if (crib.empty() && !useCard && m_cribError->text().isEmpty()) {
        refuse(m_cribError, tr("Type words the message probably holds, or use the accepted card"));
        good = false;
    }
    const auto offsets = offsetRange(m_offset->text());
    if (!offsets) {
        refuse(m_offsetError, tr("One number, or a range such as 0-40"));
        good = false;
    }
    std::optional<DiscOrder> order;
    if (!m_order->text().trimmed().isEmpty()) {
        order = parseDiscOrder(m_order->text().trimmed().toStdString());
        if (!order) {
            refuse(m_orderError, tr("Five different digits 1 to 5, such as 31425; blank for any"));
            good = false;
        }
    }
    std::optional<Card> card;
    if (useCard) {
        const MachineState& m = m_session.machine();
        if (!m.ready()) {
            refuse(m_cardError, tr("No setting has been accepted: press Check Cipher first"));
            good = false;
        } else {
            const KeySetting accepted = keySettingOf(m.key.bytes());
            card = accepted.card;
            if (!order)
                order = accepted.order;
        }
    }
    if (good && !crib.empty() && crib.size() > message->size()) {
        refuse(m_cribError, tr("The crib (%1 symbols) is longer than the message (%2 symbols)")
                                .arg(crib.size())
                                .arg(message->size()));
        good = false;
    }
    if (good && !crib.empty() &&
        offsets->second > static_cast<int>(message->size() - crib.size())) {
        refuse(m_offsetError, tr("The message ends there: the crib fits at offsets 0-%1")
                                  .arg(message->size() - crib.size()));
        good = false;
    }
    if (!good)
        return;

    m_message = *message;
    m_candidates.clear();
    showCandidates();
    m_completing = -1;
    const LanguageModel& model = m_model;
    if (crib.empty()) {
        StartQuery q;
        q.message = m_message;
        q.card = *card;
        q.orders = {*order};
        q.top = kRows;
        running(true, tr("Trying every start position with the accepted card…"));
        m_job->start(
            [q, &model](const RunOptions& o) { return analysis::startSearch(q, model, o); },
            searchThreads());
        return;
    }
    CribQuery q;
    q.message = m_message;
    q.crib = crib;
    q.firstOffset = offsets->first;
    q.lastOffset = offsets->second;
    if (order)
        q.orders = {*order};
    q.card = card;
    q.top = kRows;
    const CribFacts facts = cribFacts(q);
    running(true, tr("The crib joins %1 symbols with %2 loops; about %3 wrong settings of %4 are "
                     "expected to survive it.")
                      .arg(facts.symbols)
                      .arg(facts.loops)
                      .arg(facts.falseSurvivors < 10
                               ? QString::number(facts.falseSurvivors, 'g', 2)
                               : QString::number(std::llround(facts.falseSurvivors)))
                      .arg(facts.hypotheses));
    m_job->start([q, &model](const RunOptions& o) { return cribSearch(q, model, o); },
                 searchThreads());
}

void BreakWindow::cancelSearch() {
    m_job->cancel();
}

void BreakWindow::running(bool on, const QString& what) {
    for (QWidget* w : std::initializer_list<QWidget*>{m_start, m_complete, m_source, m_crib,
                                                      m_offset, m_order, m_acceptedCard})
        w->setEnabled(!on);
    m_cancel->setEnabled(on);
    if (on) {
        setWindowTitle(m_completing < 0 ? tr("Break a message – searching")
                                        : tr("Break a message – completing the card"));
        m_progress->setValue(0);
        if (m_completing < 0)
            m_speed->clear();
        m_estimate->setText(what);
        m_use->setEnabled(false);
    } else {
        showSelected();
    }
}

void BreakWindow::showProgress(const Progress& p) {
    m_progress->setValue(static_cast<int>(p.fraction() * 1000));
    if (m_completing >= 0)
        return; // its progress counts climbs from fresh starts, not hypotheses
    setWindowTitle(tr("Break a message – searching, %1 %").arg(std::floor(p.fraction() * 100)));
    m_speed->setText(tr("%1 M a second, %2 left")
                         .arg(p.perSecond() / 1e6, 0, 'f', 1)
                         .arg(duration(p.secondsLeft())));
}

void BreakWindow::searchEnded(const SearchResult& result, const QString& error) {
    running(false, {});
    if (!error.isEmpty()) {
        m_estimate->setText(error);
        setWindowTitle(tr("Break a message"));
        return;
    }
    m_candidates = result.candidates;
    if (!result.stopped)
        m_progress->setValue(1000);
    m_speed->setText(tr("%1 M a second")
                         .arg(result.seconds > 0
                                  ? static_cast<double>(result.hypotheses) / result.seconds / 1e6
                                  : 0.0,
                              0, 'f', 1));
    const QString how =
        result.stopped ? tr("Cancelled after %1 hypotheses (%2 s)") : tr("%1 hypotheses in %2 s");
    m_estimate->setText(
        (how.arg(result.hypotheses).arg(result.seconds, 0, 'f', 1) + QStringLiteral(": ") +
         (m_candidates.empty() ? tr("nothing found.")
                               : candidateCount(m_candidates.size()) + tr(", best first."))));
    showCandidates();
    if (!m_candidates.empty()) {
        m_table->selectRow(0);
        m_table->setFocus();
    }
    // The best candidate's card is completed at once, so that it can be used.
    if (!result.stopped && !m_candidates.empty() && m_candidates.front().fixed() < kSymbolCount) {
        completeCard();
        return;
    }
    showOutcome(result.stopped);
}

// The window's title tells the outcome too, so that it shows in the task bar.
void BreakWindow::showOutcome(bool stopped) {
    setWindowTitle(stopped ? tr("Break a message – cancelled")
                   : m_candidates.empty()
                       ? tr("Break a message – nothing found")
                       : tr("Break a message – %1").arg(candidateCount(m_candidates.size())));
}

void BreakWindow::completeCard() {
    const Candidate* c = selected();
    if (c == nullptr || m_job->running())
        return;
    m_completing = m_table->currentRow();
    const Candidate candidate = *c;
    const std::vector<Symbol> message = m_message;
    const LanguageModel& model = m_model;
    m_searchSummary = m_estimate->text();
    running(true, tr("Completing the card by hill climbing…"));
    m_job->start(
        [message, candidate, &model](const RunOptions& o) {
            SearchResult r;
            r.candidates = {analysis::completeCard(message, candidate, model, o)};
            r.stopped = o.stop.stop_requested();
            return r;
        },
        searchThreads());
}

void BreakWindow::completionEnded(const SearchResult& result, const QString& error) {
    const int row = m_completing;
    m_completing = -1;
    running(false, {});
    if (!error.isEmpty() || result.candidates.empty() || row < 0 ||
        row >= static_cast<int>(m_candidates.size())) {
        m_estimate->setText(error);
        showOutcome(true);
        return;
    }
    m_candidates[static_cast<std::size_t>(row)] = result.candidates.front();
    m_estimate->setText(m_searchSummary + QLatin1Char(' ') +
                        (result.stopped ? tr("Completion cancelled; the best card so far is shown.")
                                        : tr("The card of row %1 is complete.").arg(row + 1)));
    showCandidates();
    m_table->selectRow(row);
    m_table->setFocus();
    showOutcome(result.stopped);
}

void BreakWindow::useSetting() {
    const Candidate* c = selected();
    if (c == nullptr || c->fixed() != kSymbolCount)
        return;
    std::array<int, kSlotCount> start{};
    for (std::size_t s = 0; s < kSlotCount; ++s)
        start[s] = c->start[s];
    m_session.useSetting(keyRecordOf(c->card, c->order), start);
}

void BreakWindow::showCandidates() {
    m_table->setRowCount(static_cast<int>(m_candidates.size()));
    for (std::size_t r = 0; r < m_candidates.size(); ++r) {
        const Candidate& c = m_candidates[r];
        const QStringList cells{QString::number(c.offset), text(orderText(c.order)),
                                text(positionsText(c.start)), QString::number(c.fixed()),
                                QString::number(c.score, 'f', 3)};
        for (int col = 0; col < cells.size(); ++col)
            m_table->setItem(static_cast<int>(r), col, new QTableWidgetItem(cells[col]));
    }
    m_table->resizeColumnsToContents();
    showSelected();
}

const Candidate* BreakWindow::selected() const {
    const int row = m_table->currentRow();
    return row >= 0 && row < static_cast<int>(m_candidates.size())
               ? &m_candidates[static_cast<std::size_t>(row)]
               : nullptr;
}

void BreakWindow::showSelected() {
    const Candidate* c = selected();
    const bool idle = !m_job->running();
    m_complete->setEnabled(idle && c != nullptr && c->fixed() < kSymbolCount);
    m_use->setEnabled(idle && c != nullptr && c->fixed() == kSymbolCount);
    if (c == nullptr) {
        m_text->clear();
        m_use->setToolTip(tr("Select a candidate first."));
        return;
    }
    m_use->setToolTip(
        c->fixed() == kSymbolCount
            ? tr("Puts this card, disc order and start positions into the main window and "
                 "selects Decipher.")
            : tr("The card has %1 unknown entries: complete the card first.")
                  .arg(kSymbolCount - c->fixed()));
    const DiscMaps maps(c->order);
    m_text->setPlainText(text(decipherText(m_message, maps, *c)));
}

} // namespace zelmak
