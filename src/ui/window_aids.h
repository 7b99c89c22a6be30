#pragma once

// The main window's aids beyond its design: undo and redo of keys, the machine view, the
// setting's check value on "Check Cipher", and the loaded-text pane's own undo. None of them
// changes a file, a saved text, a caption or a designed message.
//
// They are reached by window shortcuts and by the context menu on the window's background:
// Ctrl+Z takes back the last key, Ctrl+Shift+Z and Ctrl+Y do it again, Ctrl+I opens the machine
// view. While the focus is in a pane the operator can edit (output, loaded text), the undo keys
// are that pane's own, for the operator's edits. What an undo or redo did is announced to screen
// readers ("Key H taken back").
// The window routes the keys and "Automatic" through here (so that the history records them),
// tells when a set-up starts a new history, and calls machineShown() after every handler.

#include "machine/display.h"
#include "machine/key_history.h"
#include "machine/machine_state.h"

#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QWidget;

namespace zelmak {

class MachineView;
class RunPane;
class TextUndo;

class WindowAids : public QObject {
    Q_OBJECT

public:
    // Runs a handler as the window runs its own: the machine is shown afterwards, and an error
    // that escapes goes to the error box.
    using Guard = std::function<void(const std::function<void()>&)>;

    WindowAids(QWidget& window, MachineState& machine, Display& display, Guard guard);
    ~WindowAids() override;

    // A key and "Automatic", recorded in the history.
    void pressKey(int keyIndex, char keyLetter);
    void runAutomatic();
    // A set-up or "Clear all Window": nothing before it can be taken back.
    void newHistory();
    // After every handler: the actions' states, the check value and the machine view follow.
    void machineShown();
    // The program has given a pane a new text: the loaded-text pane's own undo starts anew.
    void paneSet(Pane pane);

    void showContextMenu(const QPoint& globalPos);

    QAction* undoAction() const { return m_undo; }
    QAction* redoAction() const { return m_redo; }
    QAction* viewAction() const { return m_view; }
    QMenu* contextMenu() const { return m_menu.get(); }
    MachineView* machineView() const { return m_machineView; }
    const KeyHistory& history() const { return m_history; }
    TextUndo& loadedTextUndo() const { return *m_loadedUndo; }

public slots:
    void undoKey();
    void redoKey();
    void openMachineView();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refreshView();
    void showCheckValue();
    void announce(const QString& text);
    static QString keyName(char letter);

    QWidget& m_window;
    MachineState& m_machine;
    Display& m_display;
    Guard m_guard;
    KeyHistory m_history;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    QAction* m_view = nullptr;
    std::unique_ptr<QMenu> m_menu;
    MachineView* m_machineView = nullptr; // a child of the window, made when first opened
    TextUndo* m_loadedUndo = nullptr;
    TextUndo* m_outputUndo = nullptr;
    QLabel* m_announcement = nullptr;
    std::optional<KeyRecord> m_acceptedKey; // the setting whose check value is shown
};

} // namespace zelmak
