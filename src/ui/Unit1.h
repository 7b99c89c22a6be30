#pragma once

// TForm1, the main window: the operator's whole working surface, and a view of the machine.
//
// The path of a key: a click of a symbol key (or its accelerator, which the window's key preview
// in eventFilter() turns into a click of the enabled key button) reaches keyButtonClick() with
// the button's number; the key table gives its symbol and index. Unless the setting check has
// accepted card and discs, the machine's pressKey does nothing. Otherwise the symbol joins
// InputText, and TextIO shows it in `Eingabe`, runs the cipher step Rotation on the machine's own
// positions and mode, and shows the output symbol in `Ausgabe`. showMachine() then turns the
// position selectors and the mode buttons to what the machine holds. The other way round, a pick
// in a position selector or a mode button goes into the machine at once; the card and
// disc-number selectors stay the operator's draft until the setting check takes them. The window
// builds its controls from tables, offers the machine its seams (setting draft, display), and
// forwards every handler to the library function that does the work.

#include "files/clock.h"
#include "machine/display.h"
#include "machine/machine_state.h"
#include "machine/setting_draft.h"
#include "settings/random_setting.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QComboBox;
class QPushButton;
class QRadioButton;
class QKeyEvent;

namespace zelmak {

class Dialogs;
class HelpViewer;
class ProgramLauncher;
class RunPane;
class WindowAids;

// What the window needs from outside: the dialogs and the platform. Tests bring doubles.
struct FormServices {
    Dialogs* dialogs = nullptr;
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

class TForm1 : public QWidget, public zelmak::SettingDraft, public zelmak::Display {
    Q_OBJECT

public:
    explicit TForm1(zelmak::FormServices services, QWidget* parent = nullptr);
    ~TForm1() override;

    zelmak::MachineState& machine() { return m_machine; }
    zelmak::WindowAids& aids() { return *m_aids; }

    // Runs the window's creation event (the service setting). Start-up calls it once, before the
    // window is first shown.
    void FormCreate();

    // The setting draft: the card and disc-number selectors.
    int cardItem(int k) const override;
    void setCardItem(int k, int item) override;
    int discItem(int s) const override;
    void setDiscItem(int s, int item) override;

    // The display: panes and enabled states.
    void setEnabled(zelmak::Control control, bool enabled) override;
    void clearPane(zelmak::Pane pane) override;
    void appendLine(zelmak::Pane pane, std::string_view line) override;
    void showText(zelmak::Pane pane, std::string_view text) override;
    std::string paneText(zelmak::Pane pane) const override;

    using QWidget::setEnabled;

public slots:
    void Button33Click(); // Help
    void Button29Click(); // Exit
    void Button38Click(); // Check Cipher, and every pick in a card or disc-number selector
    void Button36Click(); // Service Cipher, and the window's creation
    void Button42Click(); // Random Cipher
    void Button39Click(); // Load Cipher
    void Button37Click(); // Save Cipher
    // The symbol keys and the space bar (Button32) by their numbers in the key table.
    void Button2Click() { keyButtonClick(2); }
    void Button3Click() { keyButtonClick(3); }
    void Button4Click() { keyButtonClick(4); }
    void Button5Click() { keyButtonClick(5); }
    void Button6Click() { keyButtonClick(6); }
    void Button7Click() { keyButtonClick(7); }
    void Button8Click() { keyButtonClick(8); }
    void Button9Click() { keyButtonClick(9); }
    void Button10Click() { keyButtonClick(10); }
    void Button12Click() { keyButtonClick(12); }
    void Button13Click() { keyButtonClick(13); }
    void Button14Click() { keyButtonClick(14); }
    void Button15Click() { keyButtonClick(15); }
    void Button16Click() { keyButtonClick(16); }
    void Button1Click() { keyButtonClick(1); }
    void Button17Click() { keyButtonClick(17); }
    void Button18Click() { keyButtonClick(18); }
    void Button19Click() { keyButtonClick(19); }
    void Button20Click() { keyButtonClick(20); }
    void Button21Click() { keyButtonClick(21); }
    void Button22Click() { keyButtonClick(22); }
    void Button23Click() { keyButtonClick(23); }
    void Button24Click() { keyButtonClick(24); }
    void Button25Click() { keyButtonClick(25); }
    void Button26Click() { keyButtonClick(26); }
    void Button27Click() { keyButtonClick(27); }
    void Button28Click() { keyButtonClick(28); }
    void Button11Click() { keyButtonClick(11); }
    void Button30Click() { keyButtonClick(30); }
    void Button31Click() { keyButtonClick(31); }
    void Button32Click() { keyButtonClick(32); } // the space bar
    void Button34Click() { keyButtonClick(34); } // Y
    void RadioButton1Click();                    // Decipher
    void RadioButton2Click();                    // Cipher
    void Rotation();
    void Init();
    void Test();
    void TextIO();
    void Panel1Click();   // Clear all Window
    void Button35Click(); // Save CipherCode
    void Button40Click(); // Loade CipherCode
    void Button41Click(); // Automatic
    void BtStartClick();  // Run Converter

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void buildControls();
    // A symbol key or the space bar, by its button number.
    void keyButtonClick(int number);
    // Turns the position selectors and the mode buttons to the machine's state.
    void showMachine();
    bool handleAccelerator(const QKeyEvent* event);
    QWidget* control(zelmak::Control control) const;
    zelmak::RunPane* pane(zelmak::Pane pane) const;

    // Runs a handler and shows the machine afterwards; an error that escapes the handler goes to
    // the error box, and the window goes on.
    void guard(const std::function<void()>& handler);

    zelmak::FormServices m_services;
    zelmak::SystemRandomSource m_systemRandom;
    zelmak::SystemClock m_systemClock;
    zelmak::MachineState m_machine;
    // Undo of keys, the machine view, the check value and announcements (window_aids.h).
    std::unique_ptr<zelmak::WindowAids> m_aids;

    // Controls, under the names of the window's design.
    std::array<QPushButton*, 43> m_button{}; // Button1..Button42 by number (Button29 Exit, ...)
    std::array<QComboBox*, 32> m_card{};     // ComboBox1..ComboBox31
    std::array<QComboBox*, 6> m_disc{};      // ComboBoxS1..ComboBoxS5
    std::array<QComboBox*, 6> m_position{};  // ComboBoxSS1..ComboBoxSS5
    QRadioButton* RadioButton1 = nullptr;    // Decipher
    QRadioButton* RadioButton2 = nullptr;    // Cipher
    zelmak::RunPane* Ausgabe = nullptr;
    zelmak::RunPane* lade = nullptr;
    zelmak::RunPane* Eingabe = nullptr;
    // The symbol keys by their accelerator character.
    std::array<QPushButton*, 256> m_keyByAccelerator{};
    bool m_showingMachine = false;
};
