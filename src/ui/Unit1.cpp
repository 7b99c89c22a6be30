#include "Unit1.h"

#include "dialogs.h"
#include "files/key_file.h"
#include "files/text_files.h"
#include "key_layout.h"
#include "machine/machine.h"
#include "platform/help_viewer.h"
#include "platform/program_launcher.h"
#include "run_pane.h"
#include "settings/settings.h"
#include "window_aids.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>

using namespace zelmak;

TForm1::TForm1(FormServices services, QWidget* parent)
    : QWidget(parent), m_services(std::move(services)) {
    if (!m_services.random)
        m_services.random = &m_systemRandom;
    if (!m_services.clock)
        m_services.clock = &m_systemClock;
    if (m_services.dialogs)
        m_services.dialogs->owner = this;
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Zelmak add Cipher-Disc Rotation2"));
    // A fixed frame without buttons: the window is closed with Exit.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(999, 630);
    move(8, 15);
    buildControls();
    m_aids = std::make_unique<WindowAids>(*this, m_machine, *this,
                                          [this](const std::function<void()>& h) { guard(h); });

    // The key preview: every key pressed anywhere in the window passes eventFilter() first.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
    Button36Click();
}

// --- Seams offered to the logic --------------------------------------------------------

namespace {

template <typename T, std::size_t N> T* at(const std::array<T*, N>& items, int index, int high) {
    checked::expectRange(index, 1, high);
    return items[static_cast<std::size_t>(index)];
}

} // namespace

int TForm1::cardItem(int k) const {
    return at(m_card, k, 31)->currentIndex();
}
void TForm1::setCardItem(int k, int item) {
    at(m_card, k, 31)->setCurrentIndex(item);
}
int TForm1::discItem(int s) const {
    return at(m_disc, s, 5)->currentIndex();
}
void TForm1::setDiscItem(int s, int item) {
    at(m_disc, s, 5)->setCurrentIndex(item);
}
QWidget* TForm1::control(Control c) const {
    // In the order of Control.
    const std::array<QWidget*, 9> controls{m_button[32], m_button[34], m_button[35],
                                           m_button[37], m_button[38], m_button[40],
                                           m_button[41], Eingabe,      Ausgabe};
    return controls.at(static_cast<std::size_t>(c));
}

RunPane* TForm1::pane(Pane p) const {
    const std::array<RunPane*, 3> panes{Eingabe, Ausgabe, lade}; // in the order of Pane
    return panes.at(static_cast<std::size_t>(p));
}

void TForm1::setEnabled(Control c, bool enabled) {
    control(c)->setEnabled(enabled);
}
void TForm1::clearPane(Pane p) {
    pane(p)->clearText();
    m_aids->paneSet(p);
}
void TForm1::appendLine(Pane p, std::string_view line) {
    pane(p)->appendLine(line);
}
void TForm1::showText(Pane p, std::string_view text) {
    pane(p)->showText(text);
    m_aids->paneSet(p);
}
std::string TForm1::paneText(Pane p) const {
    return pane(p)->text8();
}

// --- Errors and the key preview ----------------------------------------------------------

void TForm1::guard(const std::function<void()>& handler) {
    QString message;
    try {
        handler();
    } catch (const std::bad_alloc&) {
        message = QStringLiteral("Zu wenig Arbeitsspeicher");
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what());
    }
    // Whatever the handler did to the machine before an error stays, and is shown.
    showMachine();
    if (message.isEmpty())
        return;
    if (!message.endsWith(QLatin1Char('.')))
        message += QLatin1Char('.');
    m_services.dialogs->errorBox(message);
}

void TForm1::showMachine() {
    m_showingMachine = true;
    for (int s = 1; s <= 5; ++s) {
        QComboBox* selector = m_position[static_cast<std::size_t>(s)];
        if (selector->currentIndex() != m_machine.positions[s])
            selector->setCurrentIndex(m_machine.positions[s]);
    }
    QRadioButton* mode = m_machine.cipher() ? RadioButton2 : RadioButton1;
    if (!mode->isChecked())
        mode->setChecked(true);
    m_showingMachine = false;
    m_aids->machineShown();
}

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
    QPushButton* key = typed < m_keyByAccelerator.size() ? m_keyByAccelerator[typed] : nullptr;
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
    return QWidget::eventFilter(watched, event);
}

void TForm1::contextMenuEvent(QContextMenuEvent* event) {
    m_aids->showContextMenu(event->globalPos());
}

void TForm1::closeEvent(QCloseEvent* event) {
    // The frame has no close button; if the platform closes the window anyway, it is Exit.
    event->accept();
    Button29Click();
}

// --- Handlers ----------------------------------------------------------------------------

void TForm1::Button33Click() {
    // The help file is registered anew each time, under the name the viewer is asked for.
    QString registered = QStringLiteral("ZELMAK.HLP");
    if (m_services.helpFile)
        *m_services.helpFile = registered;
    if (m_services.helpViewer)
        m_services.helpViewer->showContents(this, QFile::encodeName(registered).toStdString());
}

void TForm1::Button29Click() {
    if (m_services.quit)
        m_services.quit();
}

void TForm1::Button38Click() {
    guard([this] {
        m_aids->newHistory();
        checkSetting(m_machine, *this, *this);
    });
}

void TForm1::Button36Click() {
    guard([this] {
        m_aids->newHistory();
        serviceSetting(m_machine, *this, *this);
    });
}

void TForm1::Button42Click() {
    guard([this] {
        m_aids->newHistory();
        randomSetting(m_machine, *this, *this, *m_services.random);
    });
}

void TForm1::Button39Click() {
    guard([this] {
        // A cancelled or failed load changes nothing, the history included.
        if (loadCipher(m_machine, *this, *this, *m_services.dialogs))
            m_aids->newHistory();
    });
}

void TForm1::Button37Click() {
    guard([this] { saveCipher(m_machine, *m_services.dialogs, *m_services.clock); });
}

void TForm1::Button35Click() {
    guard([this] { saveCipherCode(m_machine, *this, *m_services.dialogs); });
}

void TForm1::Button40Click() {
    guard([this] { loadCipherCode(m_machine, *this, *m_services.dialogs); });
}

void TForm1::Button41Click() {
    guard([this] { m_aids->runAutomatic(); });
}

void TForm1::BtStartClick() {
    // Nothing is waited for and nothing is reported.
    if (m_services.launcher)
        m_services.launcher->start("converter.exe");
}

void TForm1::keyButtonClick(int number) {
    const KeyRow& key = keyRow(number);
    guard([&] { m_aids->pressKey(keyIndexOf(key.symbol), key.symbol); });
}

void TForm1::RadioButton1Click() {
    guard([this] { selectDecipher(m_machine, *this); });
}
void TForm1::RadioButton2Click() {
    guard([this] { selectCipher(m_machine, *this); });
}

void TForm1::Rotation() {
    guard([this] { zelmak::Rotation(m_machine); });
}
void TForm1::Init() {
    guard([this] { zelmak::Init(m_machine, *this); });
}
void TForm1::Test() {
    zelmak::Test(m_machine);
}
void TForm1::TextIO() {
    guard([this] { zelmak::TextIO(m_machine, *this); });
}

void TForm1::Panel1Click() {
    m_aids->newHistory();
    clearAll(m_machine, *this);
    m_aids->machineShown();
}
