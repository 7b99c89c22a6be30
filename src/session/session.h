#pragma once

// The operator's session: the machine, its key history, the draft of a setting in the selectors
// and the texts of the three panes, and every designed handler that works on them. The window is
// a view of it: each handler of the window is one call here, and afterwards the session tells the
// view what changed (texts, positions, mode, the draft, enabled states, the check value) and, when
// the handler stopped with an error, the message for the error box. The window tells the session
// only what the operator did: a key, a button, a pick, an edit of a pane.
//
// A pane either shows one of the machine's texts (after a key, a run, an undo) or holds text of
// its own (the verdict of a setting check, a loaded file, the operator's edit); "Save CipherCode"
// saves what the output pane holds and "Automatic" keys what the loaded-text pane holds.

#include "controls.h"
#include "files/clock.h"
#include "files/file_dialogs.h"
#include "machine/key_history.h"
#include "machine/machine_state.h"
#include "machine/setting_draft.h"
#include "settings/random_setting.h"
#include "views.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zelmak {

// What the session works with besides its state: its view, the file dialogs, the random source
// of "Random Cipher" and the clock that names key files.
struct SessionPorts {
    TextView& text;
    SettingView& setting;
    Notices& notices;
    FileDialogs& dialogs;
    RandomSource& random;
    const Clock& clock;
};

class Session {
public:
    explicit Session(SessionPorts ports, std::size_t historyBudget = KeyHistory::kDefaultBudget);

    // Tells the view everything, changed or not: once, when the view is built.
    void showAll();

    // The designed handlers. A key is its symbol: "I" .. "N", "Y", and "_" for the space bar.
    void pressKey(char symbol);
    void checkCipher();    // Button38Click, and every pick in a card or disc-number selector
    void serviceCipher();  // Button36Click, and the window's creation
    void randomCipher();   // Button42Click
    void loadCipher();     // Button39Click
    void saveCipher();     // Button37Click
    void saveCipherCode(); // Button35Click
    void loadCipherCode(); // Button40Click
    void automatic();      // Button41Click
    void clearAll();       // Panel1Click
    void selectDecipher(); // RadioButton1Click
    void selectCipher();   // RadioButton2Click

    // What the operator picks in a selector (item index, -1 for none) or types into a pane.
    void pickCard(int k, int item);
    void pickDisc(int s, int item);
    void pickPosition(int s, int item);
    void editPane(Pane pane, std::string text);

    // A setting found by breaking a message: its card and disc numbers go into their selectors and
    // the setting check runs as "Check Cipher" runs it; when it accepts them, the discs turn to
    // the message's start positions (0..30) and the switch to Decipher.
    void useSetting(const KeyRecordBytes& record, const std::array<int, kSlotCount>& start);

    // Taking keys back and doing them again (a run of "Automatic" is one step).
    void undoKey();
    void redoKey();

    const MachineState& machine() const { return m_machine; }
    const KeyHistory& history() const { return m_history; }
    const SettingDraft& draft() const { return m_draft; }
    std::string_view paneText(Pane pane) const;
    SessionFacts facts() const;

private:
    // What a pane holds: one of the machine's texts, or text of its own.
    struct PaneText {
        enum class Shows { Own, InputText, OutputText };
        Shows shows = Shows::Own;
        std::string own;
    };
    // What the view was last told.
    struct Shown {
        std::array<bool, kPaneCount> paneChanged{};
        Positions positions;
        Mode mode = Mode::Cipher;
        SettingDraft draft;
        EnabledStates enabled{};
        std::optional<KeyRecord> checked; // the setting whose check value is shown
    };

    // Runs a handler; then tells the view what changed, and an error that escaped the handler
    // (whatever the handler did before it stays) goes to the error box.
    void handle(const std::function<void()>& handler);
    void publish(bool everything);

    void check();
    void moveInHistory(bool back);
    void newHistory() { m_history.clear(); }
    void setOwn(Pane pane, std::string text);
    void appendLine(Pane pane, std::string_view line);
    void showMachineTexts();
    PaneText& pane(Pane p) { return m_panes[static_cast<std::size_t>(p)]; }

    SessionPorts m_ports;
    MachineState m_machine;
    KeyHistory m_history;
    SettingDraft m_draft;
    std::array<PaneText, kPaneCount> m_panes;
    bool m_settingOffered = false;
    bool m_checkAccepted = false;
    bool m_drawnSinceCheck = false;
    Shown m_shown;
};

} // namespace zelmak
