#include "window_aids.h"

#include "machine/machine.h"
#include "machine_view.h"
#include "run_pane.h"
#include "text_undo.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace zelmak {

namespace {

QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// A window opens beside the main window, right of it or below it, where it fits on the screen,
// so that both stay in view; otherwise at the screen's right edge, over the main window's card
// rather than its keys and texts.
void placeBeside(QWidget& view, const QWidget& main) {
    const QScreen* screen = main.screen();
    if (!screen)
        return;
    const QRect free = screen->availableGeometry();
    const QRect frame = main.frameGeometry();
    const QSize framed = view.size() + QSize(8, 32); // room for a frame and title bar
    const QPoint right(frame.right() + 6, frame.top());
    const QPoint below(frame.left(), frame.bottom() + 6);
    for (const QPoint& at : {right, below}) {
        if (free.contains(QRect(at, framed))) {
            view.move(at);
            return;
        }
    }
    view.move(std::max(free.left(), free.right() - framed.width()), frame.top());
}

} // namespace

WindowAids::WindowAids(QWidget& window, MachineState& machine, Display& display, Guard guard)
    : QObject(&window), m_window(window), m_machine(machine), m_display(display),
      m_guard(std::move(guard)) {
    const auto action = [this](const QString& text, QList<QKeySequence> keys, auto slot) {
        auto* a = new QAction(text, this);
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, slot);
        m_window.addAction(a);
        return a;
    };
    m_undo = action(tr("Undo key"), {QKeySequence(Qt::CTRL | Qt::Key_Z)}, &WindowAids::undoKey);
    m_redo =
        action(tr("Redo key"),
               {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
               &WindowAids::redoKey);
    m_view = action(tr("Machine view…"), {QKeySequence(Qt::CTRL | Qt::Key_I)},
                    &WindowAids::openMachineView);
    m_undo->setEnabled(false);
    m_redo->setEnabled(false);

    m_menu = std::make_unique<QMenu>();
    m_menu->setObjectName(QStringLiteral("WindowMenu"));
    m_menu->addAction(m_undo);
    m_menu->addAction(m_redo);
    m_menu->addSeparator();
    m_menu->addAction(m_view);

    // In the panes the operator can edit, the undo keys are the pane's own, for the operator's
    // edits. The input pane is read-only: there they are the window's.
    if (auto* input = window.findChild<RunPane*>(QStringLiteral("Eingabe")))
        input->installEventFilter(this);
    if (auto* output = window.findChild<RunPane*>(QStringLiteral("Ausgabe")))
        m_outputUndo = new TextUndo(*output);
    if (auto* loaded = window.findChild<RunPane*>(QStringLiteral("lade")))
        m_loadedUndo = new TextUndo(*loaded);

    // What an undo or redo did, for a screen reader: the panes can only tell that symbols went.
    m_announcement = new QLabel(&window);
    m_announcement->setObjectName(QStringLiteral("Announcement"));
    m_announcement->setGeometry(0, 0, 1, 1);
    QPalette quiet = m_announcement->palette();
    quiet.setColor(QPalette::WindowText, Qt::transparent);
    m_announcement->setPalette(quiet);

    // A position picked by the operator shows in the machine view at once.
    for (int s = 1; s <= 5; ++s)
        if (auto* box = window.findChild<QComboBox*>(QStringLiteral("ComboBoxSS%1").arg(s)))
            connect(box, &QComboBox::activated, this, &WindowAids::refreshView);
}

WindowAids::~WindowAids() {
    // The view reads the machine and the history, which go before the window does.
    delete m_machineView;
}

// The panes tell the accessibility layer themselves what a key, a run or an undo inserts into
// them or removes, and the position selectors their new values.
void WindowAids::pressKey(int keyIndex, char keyLetter) {
    m_history.pressKey(m_machine, m_display, keyIndex, keyLetter);
}

void WindowAids::runAutomatic() {
    m_history.runAutomatic(m_machine, m_display);
}

void WindowAids::newHistory() {
    m_history.clear();
}

void WindowAids::undoKey() {
    m_guard([this] {
        const auto step = m_history.nextUndo(m_machine);
        if (step && m_history.undo(m_machine, m_display))
            announce(step->run ? tr("Automatic run taken back")
                               : tr("Key %1 taken back").arg(keyName(step->letter)));
    });
}

void WindowAids::redoKey() {
    m_guard([this] {
        const auto step = m_history.nextRedo(m_machine);
        if (step && m_history.redo(m_machine, m_display))
            announce(step->run ? tr("Automatic run done again")
                               : tr("Key %1 done again").arg(keyName(step->letter)));
    });
}

QString WindowAids::keyName(char letter) {
    return letter == '_' ? tr("space bar") : QString(QLatin1Char(letter));
}

void WindowAids::announce(const QString& text) {
    m_announcement->setText(text); // the label tells its new name itself
    QAccessibleEvent alert(m_announcement, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void WindowAids::openMachineView() {
    if (!m_machineView) {
        m_machineView = new MachineView(m_machine, m_history, &m_window);
        m_machineView->addActions({m_undo, m_redo, m_view});
        placeBeside(*m_machineView, m_window);
    }
    m_machineView->refresh();
    m_machineView->show();
    m_machineView->raise();
    m_machineView->activateWindow();
}

void WindowAids::machineShown() {
    m_undo->setEnabled(m_history.canUndo(m_machine));
    m_redo->setEnabled(m_history.canRedo(m_machine));
    showCheckValue();
    refreshView();
}

void WindowAids::refreshView() {
    if (m_machineView && m_machineView->isVisible())
        m_machineView->refresh();
}

// The check value of an accepted setting, as the tooltip and accessible description of "Check
// Cipher"; nothing while no setting is accepted.
void WindowAids::showCheckValue() {
    // Worked out again only when another setting has been accepted.
    std::optional<KeyRecord> accepted;
    if (m_machine.ready())
        accepted = m_machine.key;
    if (accepted == m_acceptedKey)
        return;
    m_acceptedKey = accepted;
    const std::string value = accepted ? checkValue(m_machine) : std::string();
    auto* check = m_window.findChild<QPushButton*>(QStringLiteral("Button38"));
    if (!check)
        return;
    const QString text = value.empty()
                             ? QString()
                             : tr("Check value of the accepted setting: %1").arg(latin1(value));
    check->setToolTip(text);
    check->setAccessibleDescription(text);
}

void WindowAids::paneSet(Pane pane) {
    if (pane == Pane::Loaded && m_loadedUndo)
        m_loadedUndo->reset();
    if (pane == Pane::Output && m_outputUndo)
        m_outputUndo->reset();
}

void WindowAids::showContextMenu(const QPoint& globalPos) {
    m_undo->setEnabled(m_history.canUndo(m_machine));
    m_redo->setEnabled(m_history.canRedo(m_machine));
    m_menu->popup(globalPos);
}

bool WindowAids::eventFilter(QObject* watched, QEvent* event) {
    // In the read-only input pane the undo keys reach the window's shortcuts: the pane would
    // otherwise claim them for an undo it does not have.
    if (event->type() == QEvent::ShortcutOverride &&
        undoKeyOf(*static_cast<QKeyEvent*>(event)) != UndoKey::None)
        return true;
    return QObject::eventFilter(watched, event);
}

} // namespace zelmak
