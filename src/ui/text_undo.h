#pragma once

#include <QObject>

class QKeyEvent;
class QMenu;
class QPoint;

#include <string>
#include <vector>

namespace zelmak {

class RunPane;

// The keys of undo and redo: Ctrl+Z takes back, Ctrl+Shift+Z and Ctrl+Y do again.
enum class UndoKey { None, Undo, Redo };
UndoKey undoKeyOf(const QKeyEvent& event);

// The operator's own undo and redo of the edits in a text pane, as in any editor: Ctrl+Z (and
// Ctrl+Shift+Z, Ctrl+Y) while the pane has the focus. The pane re-cuts its lines after every edit,
// so its document's own undo would take back the re-cut instead of the edit; this works on the
// pane's text instead (in the pane's context menu too). Each edit is kept as the place and the text
// it removed and inserted; typing and deleting in a row make one edit. Text the program gives the
// pane starts anew. What an undo or redo changes, the pane reports as the operator's edit.
class TextUndo : public QObject {
    Q_OBJECT

public:
    explicit TextUndo(RunPane& pane);

    bool undo();
    bool redo();
    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_edits.size(); }
    // Nothing before the pane's present text can be taken back.
    void reset();

    // The pane's own context menu, its Undo and Redo being these (the caller owns it).
    QMenu* editMenu(const QPoint& pos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Edit {
        std::size_t at = 0;
        std::string removed;
        std::string inserted;
    };

    void noteEdit();
    void show(std::size_t caret);

    RunPane& m_pane;
    std::string m_text; // the pane's text after the last edit it knows of
    std::vector<Edit> m_edits;
    std::size_t m_done = 0;
    bool m_merging = true; // whether the next edit may join the last one
};

} // namespace zelmak
