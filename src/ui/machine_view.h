#pragma once

#include "machine/key_history.h"
#include "machine/machine_state.h"
#include "machine/trace.h"

#include <QDialog>

#include <cstddef>
#include <optional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace zelmak {

class MachineDiagram;

// The machine view: a window beside the main window that follows every key. It shows the last
// key's way through the machine in numbers and as a drawing, the positions before and after it,
// the setting's check value and the undo history's depth, and copies the traces of the last keys
// as plain text, one line per key. It reads the machine and its history and changes neither.
class MachineView : public QDialog {
    Q_OBJECT

public:
    static constexpr std::size_t kCopiedKeys = 1000;

    MachineView(const MachineState& machine, const KeyHistory& history, QWidget* parent);

    // Shows the machine as it stands now.
    void refresh();
    // Opens (or raises) the view, the first time beside the main window, where it fits on the
    // screen.
    void showBeside(const QWidget& main);

    // The numbers shown, and what the copy buttons put on the clipboard: the traces of up to
    // `count` last keys as comma-separated values, after their header line.
    QString numbers() const;
    QString traceText(std::size_t count) const;
    MachineDiagram* diagram() const { return m_diagram; }

public slots:
    void copyLastKey();
    void copyLastKeys();

private:
    QString describe(const std::optional<KeyTrace>& t, char letter) const;

    const MachineState& m_machine;
    const KeyHistory& m_history;
    MachineDiagram* m_diagram = nullptr;
    QPlainTextEdit* m_numbers = nullptr;
    QPushButton* m_copyLast = nullptr;
    QPushButton* m_copyMany = nullptr;
    bool m_placed = false;
};

} // namespace zelmak
