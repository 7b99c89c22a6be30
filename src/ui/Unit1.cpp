#include "Unit1.h"

#include "break_window.h"
#include "card_panel.h"
#include "dialogs.h"
#include "disc_panel.h"
#include "key_layout.h"
#include "keyboard_panel.h"
#include "machine_view.h"
#include "platform/help_viewer.h"
#include "platform/program_launcher.h"
#include "run_pane.h"
#include "statistics_window.h"
#include "text_undo.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <stdexcept>

using namespace zelmak;

namespace {

SessionPorts portsOf(TForm1& window, const FormServices& services, RandomSource& random,
                     const Clock& clock) {
    if (!services.dialogs)
        throw std::invalid_argument("the main window needs its dialogs");
    return {window,
            window,
            window,
            *services.dialogs,
            services.random ? *services.random : random,
            services.clock ? *services.clock : clock};
}

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

TForm1::TForm1(FormServices services, QWidget* parent)
    : QWidget(parent), m_services(std::move(services)),
      m_session(portsOf(*this, m_services, m_systemRandom, m_systemClock)) {
    m_services.dialogs->owner = this;
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Zelmak add Cipher-Disc Rotation2"));
    // A fixed frame without buttons: the window is closed with Exit.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(999, 630);
    move(8, 15);
    buildControls();
    buildActions();
    wire();
    m_session.showAll();

    // The key preview: every key pressed anywhere in the window passes eventFilter() first.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

TForm1::~TForm1() {
    // The views read the session, which goes before the window's children do; a search of the
    // break window is stopped and waited for here.
    delete m_machineView;
    delete m_statistics;
    delete m_breakWindow;
}

void TForm1::FormCreate() {
    Button36Click();
}

// --- What the session tells --------------------------------------------------------------

QWidget* TForm1::control(Control c) const {
    switch (c) {
    case Control::SpaceBar:
        return m_keyboard->button(kSpaceBarNumber);
    case Control::YKey:
        return m_keyboard->button(34);
    case Control::SaveCipherCode:
        return Button35;
    case Control::SaveCipher:
        return m_card->button(37);
    case Control::CheckCipher:
        return m_card->button(38);
    case Control::LoadCipherCode:
        return Button40;
    case Control::Automatic:
        return Button41;
    case Control::InputPane:
        return Eingabe;
    case Control::OutputPane:
        return Ausgabe;
    case Control::UndoKey:
    case Control::RedoKey:
        break;
    }
    return nullptr;
}

RunPane* TForm1::pane(Pane p) const {
    const std::array<RunPane*, kPaneCount> panes{Eingabe, Ausgabe, lade}; // in the order of Pane
    return panes.at(static_cast<std::size_t>(p));
}

void TForm1::showText(Pane p, std::string_view text) {
    pane(p)->showText(text);
    refreshMachineViewSoon();
    if (m_statistics)
        m_statistics->panesChanged();
}

void TForm1::showDraft(const SettingDraft& draft) {
    m_card->showDraft(draft);
    m_discs->showDraft(draft);
    refreshMachineViewSoon();
}

void TForm1::showPositions(const Positions& positions) {
    m_discs->showPositions(positions);
    refreshMachineViewSoon();
}

void TForm1::showMode(Mode mode) {
    QRadioButton* shown = mode == Mode::Cipher ? RadioButton2 : RadioButton1;
    if (!shown->isChecked())
        shown->setChecked(true);
    refreshMachineViewSoon();
}

void TForm1::setEnabled(Control c, bool enabled) {
    if (c == Control::UndoKey)
        m_undo->setEnabled(enabled);
    else if (c == Control::RedoKey)
        m_redo->setEnabled(enabled);
    else
        control(c)->setEnabled(enabled);
    refreshMachineViewSoon();
}

// The check value of an accepted setting, as the tooltip and accessible description of "Check
// Cipher".
void TForm1::showCheckValue(std::string_view value) {
    const QString text = value.empty()
                             ? QString()
                             : tr("Check value of the accepted setting: %1")
                                   .arg(QString::fromLatin1(value.data(), qsizetype(value.size())));
    QPushButton* check = m_card->button(38);
    check->setToolTip(text);
    check->setAccessibleDescription(text);
    refreshMachineViewSoon();
}

void TForm1::errorBox(std::string_view message) {
    m_services.dialogs->errorBox(fromUtf8(message));
}

// For a screen reader: the panes can only tell that symbols went when a key is taken back.
void TForm1::announce(std::string_view text) {
    m_announcement->setText(fromUtf8(text)); // the label tells its new name itself
    QAccessibleEvent alert(m_announcement, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

// --- The key preview -------------------------------------------------------------------------

namespace {

// The character a key event types, upper-cased, or 0 for a control key (Tab, Escape, an arrow).
// Letters and digits are taken from the key code, so that Alt (which may change or drop the
// event's text) does not matter.
char16_t typedCharacter(const QKeyEvent* event) {
    const int key = event->key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<char16_t>(u'A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<char16_t>(u'0' + (key - Qt::Key_0));
    const QString text = event->text();
    return text.size() == 1 && text[0].isPrint() && !text[0].isSpace() ? text[0].toUpper().unicode()
                                                                       : 0;
}

} // namespace

bool TForm1::handleAccelerator(const QKeyEvent* event) {
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier);
    const bool alt = mods == Qt::AltModifier;
    if (!alt && mods != Qt::NoModifier)
        return false;
    // Alt+Space stays with the system; the keyboard's space bar presses the focused button.
    if (event->key() == Qt::Key_Space)
        return false;
    // Enter clicks the focused push button (the window has no default button), once per press:
    // a held key does not click again, as Qt's buttons do not for Space.
    if (!alt && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
        if (!focused || !focused->isEnabled())
            return false;
        if (!event->isAutoRepeat())
            focused->click();
        return true;
    }
    // Without Alt, only a control that takes no typed characters itself passes keys on.
    if (!alt && !qobject_cast<QAbstractButton*>(QApplication::focusWidget()))
        return false;
    const char16_t typed = typedCharacter(event);
    QPushButton* key = m_keyboard->byAccelerator(typed);
    // With Alt, a character that no key carries (W, J, X, 0, 1, ...) does nothing, also where
    // the focused control would take it.
    if (!key)
        return alt && typed;
    // A disabled key does not respond; the keystroke is used up either way.
    if (key->isEnabled())
        key->click();
    return true;
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && handleAccelerator(static_cast<QKeyEvent*>(event)))
        return true;
    // In the read-only input pane the undo keys reach the window's actions: the pane would
    // otherwise claim them for an undo it does not have.
    if (watched == Eingabe && event->type() == QEvent::ShortcutOverride &&
        undoKeyOf(*static_cast<QKeyEvent*>(event)) != UndoKey::None)
        return true;
    return QWidget::eventFilter(watched, event);
}

// --- The window's own actions ------------------------------------------------------------

void TForm1::buildActions() {
    const auto action = [this](const QString& text, QList<QKeySequence> keys, auto slot) {
        auto* a = new QAction(text, this);
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, slot);
        addAction(a);
        return a;
    };
    m_undo = action(tr("Undo key"), {QKeySequence(Qt::CTRL | Qt::Key_Z)}, &TForm1::undoKey);
    m_redo =
        action(tr("Redo key"),
               {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
               &TForm1::redoKey);
    m_view =
        action(tr("Machine view…"), {QKeySequence(Qt::CTRL | Qt::Key_I)}, &TForm1::openMachineView);
    m_break = action(tr("Break a message…"), {QKeySequence(Qt::CTRL | Qt::Key_B)},
                     &TForm1::openBreakWindow);
    m_menu = std::make_unique<QMenu>();
    m_menu->setObjectName(QStringLiteral("WindowMenu"));
    m_menu->addActions({m_undo, m_redo});
    m_menu->addSeparator();
    m_menu->addAction(m_view);
    m_menu->addAction(m_break);
    m_statisticsAction =
        action(tr("Statistics…"), {QKeySequence(Qt::CTRL | Qt::Key_T)}, &TForm1::openStatistics);
    m_menu->addAction(m_statisticsAction);

    // What an undo or redo did, for a screen reader.
    m_announcement = new QLabel(this);
    m_announcement->setObjectName(QStringLiteral("Announcement"));
    m_announcement->setGeometry(0, 0, 1, 1);
    QPalette quiet = m_announcement->palette();
    quiet.setColor(QPalette::WindowText, Qt::transparent);
    m_announcement->setPalette(quiet);
}

void TForm1::openMachineView() {
    if (!m_machineView) {
        m_machineView = new MachineView(m_session.machine(), m_session.history(), this);
        m_machineView->addActions({m_undo, m_redo, m_view});
    }
    m_machineView->showBeside(*this);
}

void TForm1::openBreakWindow() {
    if (!m_breakWindow)
        m_breakWindow = new BreakWindow(m_session, *m_services.dialogs, this);
    m_breakWindow->open();
}

// The machine view follows the machine once the handler that changed it is done: whatever the
// session tells the window (a set-up may change no text, only the setting and the history).
void TForm1::refreshMachineViewSoon() {
    if (!m_machineView || !m_machineView->isVisible() || m_refreshQueued)
        return;
    m_refreshQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_refreshQueued = false;
        if (m_machineView->isVisible())
            m_machineView->refresh();
    });
}

void TForm1::openStatistics() {
    if (!m_statistics) {
        m_statistics = new StatisticsWindow(m_session, this);
        m_statistics->addActions({m_undo, m_redo, m_view, m_statisticsAction});
    }
    m_statistics->showBeside(*this);
}

void TForm1::contextMenuEvent(QContextMenuEvent* event) {
    m_menu->popup(event->globalPos());
}

void TForm1::closeEvent(QCloseEvent* event) {
    // The frame has no close button; if the platform closes the window anyway, it is Exit.
    event->accept();
    Button29Click();
}

// --- The handlers of the platform ----------------------------------------------------------

void TForm1::Button33Click() {
    // The help file is registered anew each time, under the name the viewer is asked for.
    const QString registered = QStringLiteral("ZELMAK.HLP");
    if (m_services.helpFile)
        *m_services.helpFile = registered;
    if (m_services.helpViewer)
        m_services.helpViewer->showContents(this, QFile::encodeName(registered).toStdString());
}

void TForm1::Button29Click() {
    if (m_services.quit)
        m_services.quit();
}

void TForm1::BtStartClick() {
    // Nothing is waited for and nothing is reported.
    if (m_services.launcher)
        m_services.launcher->start("converter.exe");
}
