#include "machine_view.h"
#include "window_placing.h"

#include "machine/key_alphabet.h"
#include "machine/machine.h"
#include "machine/trace_csv.h"
#include "machine_diagram.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace zelmak {

namespace {

QString shownPosition(int position) {
    return position >= 0 && position <= 30 ? QString(QLatin1Char(positionSymbol(position)))
                                           : QStringLiteral("-");
}

QString positions(const std::array<int, 5>& p) {
    QStringList shown;
    for (const int v : p)
        shown << shownPosition(v);
    return shown.join(QLatin1Char(' '));
}

QString num(int value, int width = 2) {
    return QStringLiteral("%1").arg(value, width);
}

} // namespace

MachineView::MachineView(const MachineState& machine, const KeyHistory& history, QWidget* parent)
    : QDialog(parent), m_machine(machine), m_history(history) {
    setObjectName(QStringLiteral("MachineView"));
    setWindowTitle(tr("Zelmak machine view"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose, false);

    m_diagram = new MachineDiagram(this);
    m_numbers = new QPlainTextEdit(this);
    m_numbers->setObjectName(QStringLiteral("MachineNumbers"));
    m_numbers->setAccessibleName(tr("The last key in numbers"));
    m_numbers->setReadOnly(true);
    m_numbers->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPixelSize(13);
    m_numbers->setFont(fixed);
    m_numbers->setMinimumWidth(
        QFontMetrics(fixed).horizontalAdvance(QString(47, QLatin1Char('M'))));

    m_copyLast = new QPushButton(tr("Copy last key"), this);
    m_copyLast->setObjectName(QStringLiteral("CopyLastKey"));
    m_copyLast->setToolTip(tr("The trace of the last key, as a line of comma-separated values"));
    m_copyMany = new QPushButton(tr("Copy last 1,000 keys"), this);
    m_copyMany->setObjectName(QStringLiteral("CopyLastKeys"));
    m_copyMany->setToolTip(tr("The traces of up to the last 1,000 keys, one line per key"));
    auto* close = new QPushButton(tr("Close"), this);
    for (QPushButton* b : {m_copyLast, m_copyMany, close})
        b->setAutoDefault(false);
    connect(m_copyLast, &QPushButton::clicked, this, &MachineView::copyLastKey);
    connect(m_copyMany, &QPushButton::clicked, this, &MachineView::copyLastKeys);
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto* body = new QHBoxLayout;
    body->addWidget(m_diagram, 3);
    body->addWidget(m_numbers, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_copyLast);
    buttons->addWidget(m_copyMany);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
    resize(880, 620);
}

void MachineView::showBeside(const QWidget& main) {
    if (!m_placed) {
        placeBeside(*this, main);
        m_placed = true;
    }
    refresh();
    show();
    raise();
    activateWindow();
}

void MachineView::refresh() {
    std::optional<KeyTrace> last;
    const auto keys = m_history.lastKeys(m_machine, 1);
    const char letter = keys.empty() ? 0 : keys.front().letter;
    if (!keys.empty()) {
        try {
            last = traceKey(m_machine, keys.front());
        } catch (const std::exception&) {
            // A setting no key can run through: nothing to show.
        }
    }
    m_diagram->setTrace(last, letter);
    m_numbers->setPlainText(describe(last, letter));
    m_copyLast->setEnabled(last.has_value());
    m_copyMany->setEnabled(last.has_value());
}

QString MachineView::numbers() const {
    return m_numbers->toPlainText();
}

QString MachineView::describe(const std::optional<KeyTrace>& trace, char letter) const {
    QStringList lines;
    if (trace) {
        const KeyTrace& t = *trace;
        lines << tr("Last key      %1   index %2   %3 mode")
                     .arg(QLatin1Char(letter ? letter : '?'))
                     .arg(t.keyIndex)
                     .arg(t.mode == Mode::Cipher ? tr("Cipher") : tr("Decipher"));
        lines << tr("Card          %1 -> %2").arg(num(t.keyIndex), num(t.card));
        lines << QString();
        lines << tr("Forward       disc pos   in  contacts  out");
        const auto stage = [&](int s, const StageTrace& st) {
            const auto i = static_cast<std::size_t>(s - 1);
            lines << tr("  slot %1       %2   %3   %4  %5 -> %6   %7")
                         .arg(s)
                         .arg(t.disc[i])
                         .arg(shownPosition(t.before[i]), num(st.in), num(st.entry), num(st.exit),
                              num(st.out));
        };
        for (int s = 1; s <= 5; ++s)
            stage(s, t.forward[static_cast<std::size_t>(s - 1)]);
        const bool straight = t.forward[4].out == t.reflector;
        lines << tr("Reflector     %1 -> %2%3")
                     .arg(num(t.forward[4].out), num(t.reflector),
                          straight ? tr("   contact 15 passes straight through") : QString());
        lines << QString();
        lines << tr("Backward      disc pos   in  contacts  out");
        for (int s = 5; s >= 1; --s)
            stage(s, t.backward[static_cast<std::size_t>(s - 1)]);
        lines << tr("Inverse card  %1 -> %2   output %3")
                     .arg(num(t.backward[0].out), num(t.output))
                     .arg(QLatin1Char(t.symbol));
        lines << QString();
        QStringList stepped;
        for (std::size_t s = 0; s < t.stepped.size(); ++s)
            if (t.stepped[s])
                stepped << QString::number(s + 1);
        lines << tr("Positions     before  %1").arg(positions(t.before));
        lines << tr("              after   %1").arg(positions(t.after));
        lines << tr("Stepped       slots %1").arg(stepped.join(QLatin1Char(' ')));
    } else {
        lines << tr("No key yet in this history.");
        lines << QString();
    }
    std::array<int, 5> now{};
    for (int s = 1; s <= 5; ++s)
        now[static_cast<std::size_t>(s - 1)] = m_machine.positions[s];
    if (!trace || now != trace->after)
        lines << tr("Positions now         %1").arg(positions(now));
    lines << QString();
    lines << tr("Check value   %1")
                 .arg(m_machine.ready() ? QString::fromLatin1(checkValue(m_machine).c_str())
                                        : tr("none (no accepted setting)"));
    lines << tr("Undo history  %1 to undo, %2 to redo")
                 .arg(m_history.undoDepth(m_machine))
                 .arg(m_history.redoDepth(m_machine));
    return lines.join(QLatin1Char('\n'));
}

QString MachineView::traceText(std::size_t count) const {
    const std::vector<KeyAt> keys = m_history.lastKeys(m_machine, count);
    if (keys.empty())
        return {};
    std::string csv(kTraceCsvHeader);
    try {
        const std::vector<KeyTrace> traces = traceKeys(m_machine, keys);
        for (std::size_t i = 0; i < keys.size(); ++i)
            appendTraceCsv(csv, keys[i].number, keys[i].letter, traces[i]);
    } catch (const std::exception&) {
        return {};
    }
    return QString::fromLatin1(csv.data(), static_cast<qsizetype>(csv.size()));
}

void MachineView::copyLastKey() {
    const QString text = traceText(1);
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

void MachineView::copyLastKeys() {
    const QString text = traceText(kCopiedKeys);
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

} // namespace zelmak
