#pragma once

// TForm1, the main window: the operator's whole working surface, and a view of the session.
//
// The path of a key: a click of a symbol key (or its accelerator, which the window's key preview
// in eventFilter() turns into a click of the enabled key button) reaches the keyboard panel's
// button group with the button's number, and the key table gives its symbol. The session's
// pressKey does nothing unless the setting check has accepted card and discs; otherwise the
// symbol joins InputText, TextIO runs the cipher step Rotation on the machine's positions and mode
// and appends the output symbol to OutputText, and the session tells the window what changed: the
// panes show the two texts, the position selectors the discs' new positions. Every other control
// goes the same way: one call into the session, which then tells what to show and enable, and
// what to put into the error box. The window keeps no state of the machine; it gives the session
// only what the operator does (a key, a button, a pick, an edit of a pane).

#include "files/clock.h"
#include "session/session.h"
#include "session/views.h"
#include "settings/random_setting.h"

#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QKeyEvent;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;

namespace zelmak {

class BreakWindow;
class CardPanel;
class Dialogs;
class DiscPanel;
class HelpViewer;
class KeyboardPanel;
class MachineView;
class ProgramLauncher;
class RunPane;
class StatisticsWindow;

// What the window needs from outside: the dialogs and the platform. Tests bring doubles.
struct FormServices {
    Dialogs* dialogs = nullptr; // required

    HelpViewer* helpViewer = nullptr;
    ProgramLauncher* launcher = nullptr;
    // Random keys and the date that names key files; the system's own when left empty.
    RandomSource* random = nullptr;
    const Clock* clock = nullptr;
    // Ends the event loop (Exit, or the platform closing the window).
    std::function<void()> quit;
    // The application's help file; "Help" registers "ZELMAK.HLP" anew before each use.
    QString* helpFile = nullptr;
};

} // namespace zelmak

class TForm1 : public QWidget,
               public zelmak::TextView,
               public zelmak::SettingView,
               public zelmak::Notices {
    Q_OBJECT

public:
    explicit TForm1(zelmak::FormServices services, QWidget* parent = nullptr);
    ~TForm1() override;

    zelmak::Session& session() { return m_session; }

    // Runs the window's creation event (the service setting). Start-up calls it once, before the
    // window is first shown.
    void FormCreate();

    // What the session tells the window.
    void showText(zelmak::Pane pane, std::string_view text) override;
    void showDraft(const zelmak::SettingDraft& draft) override;
    void showPositions(const zelmak::Positions& positions) override;
    void showMode(zelmak::Mode mode) override;
    void setEnabled(zelmak::Control control, bool enabled) override;
    void showCheckValue(std::string_view value) override;
    void errorBox(std::string_view message) override;
    void announce(std::string_view text) override;

    using QWidget::setEnabled;

public slots:
    void Button33Click();                               // Help
    void Button29Click();                               // Exit
    void Button38Click() { m_session.checkCipher(); }   // Check Cipher
    void Button36Click() { m_session.serviceCipher(); } // Service Cipher, and the creation
    void Button42Click() { m_session.randomCipher(); }  // Random Cipher
    void Button39Click() { m_session.loadCipher(); }    // Load Cipher
    void Button37Click() { m_session.saveCipher(); }    // Save Cipher
    void RadioButton1Click() { m_session.selectDecipher(); }
    void RadioButton2Click() { m_session.selectCipher(); }
    void Panel1Click() { m_session.clearAll(); }         // Clear all Window
    void Button35Click() { m_session.saveCipherCode(); } // Save CipherCode
    void Button40Click() { m_session.loadCipherCode(); } // Loade CipherCode
    void Button41Click() { m_session.automatic(); }      // Automatic
    void BtStartClick();                                 // Run Converter
    // Beyond the design: the window's actions "Undo key", "Redo key" and "Machine view".
    void undoKey() { m_session.undoKey(); }
    void redoKey() { m_session.redoKey(); }
    void openMachineView();
    void openBreakWindow();
    void openStatistics(); // the window's action "Statistics…"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void buildControls();
    void buildActions();
    void wire();
    bool handleAccelerator(const QKeyEvent* event);
    QWidget* control(zelmak::Control control) const;
    zelmak::RunPane* pane(zelmak::Pane pane) const;
    void refreshMachineViewSoon();

    zelmak::FormServices m_services;
    zelmak::SystemRandomSource m_systemRandom;
    zelmak::SystemClock m_systemClock;
    zelmak::Session m_session;

    // Controls, under the names of the window's design.
    std::unique_ptr<zelmak::KeyboardPanel> m_keyboard;
    zelmak::CardPanel* m_card = nullptr;
    zelmak::DiscPanel* m_discs = nullptr;
    QRadioButton* RadioButton1 = nullptr; // Decipher
    QRadioButton* RadioButton2 = nullptr; // Cipher
    zelmak::RunPane* Ausgabe = nullptr;
    zelmak::RunPane* lade = nullptr;
    zelmak::RunPane* Eingabe = nullptr;
    QPushButton* Button35 = nullptr; // Save CipherCode
    QPushButton* Button40 = nullptr; // Loade CipherCode
    QPushButton* Button41 = nullptr; // Automatic
    QLabel* m_announcement = nullptr;

    // The window's actions beyond its design, also in the context menu of its background.
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    QAction* m_view = nullptr;
    QAction* m_break = nullptr;
    std::unique_ptr<QMenu> m_menu;
    zelmak::MachineView* m_machineView = nullptr; // a child of the window, made when first opened
    zelmak::BreakWindow* m_breakWindow = nullptr; // likewise
    bool m_refreshQueued = false;
    QAction* m_statisticsAction = nullptr;
    zelmak::StatisticsWindow* m_statistics = nullptr; // made when first opened
};
