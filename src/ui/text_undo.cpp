#include "text_undo.h"

#include "run_pane.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QTextCursor>

#include <algorithm>

namespace zelmak {

UndoKey undoKeyOf(const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods =
        event.modifiers() &
        (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
    if (event.key() == Qt::Key_Z && mods == Qt::ControlModifier)
        return UndoKey::Undo;
    if ((event.key() == Qt::Key_Z && mods == (Qt::ControlModifier | Qt::ShiftModifier)) ||
        (event.key() == Qt::Key_Y && mods == Qt::ControlModifier))
        return UndoKey::Redo;
    return UndoKey::None;
}

TextUndo::TextUndo(RunPane& pane) : QObject(&pane), m_pane(pane), m_text(pane.text8()) {
    connect(&pane, &RunPane::operatorEdited, this, &TextUndo::noteEdit);
    connect(&pane, &RunPane::textGiven, this, &TextUndo::reset);
    pane.installEventFilter(this);
    pane.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&pane, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        QMenu* menu = editMenu(pos);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(m_pane.viewport()->mapToGlobal(pos));
    });
}

QMenu* TextUndo::editMenu(const QPoint& pos) {
    noteEdit();
    QMenu* menu = m_pane.createStandardContextMenu(pos);
    for (QAction* action : menu->actions()) {
        const bool isUndo = action->objectName() == QLatin1String("edit-undo");
        if (!isUndo && action->objectName() != QLatin1String("edit-redo"))
            continue;
        // Away from the document's own undo, which is off.
        disconnect(action, &QAction::triggered, nullptr, nullptr);
        action->setEnabled(isUndo ? canUndo() : canRedo());
        connect(action, &QAction::triggered, this, [this, isUndo] { isUndo ? undo() : redo(); });
    }
    return menu;
}

void TextUndo::reset() {
    m_text = m_pane.text8();
    m_edits.clear();
    m_done = 0;
    m_merging = false;
}

void TextUndo::noteEdit() {
    std::string now = m_pane.text8();
    if (now == m_text)
        return;
    const std::size_t shorter = std::min(now.size(), m_text.size());
    const auto firstDiff =
        std::mismatch(now.begin(), now.begin() + static_cast<long>(shorter), m_text.begin());
    const auto at = static_cast<std::size_t>(firstDiff.first - now.begin());
    std::size_t same = 0;
    while (same < shorter - at && now[now.size() - 1 - same] == m_text[m_text.size() - 1 - same])
        ++same;
    Edit edit{at, m_text.substr(at, m_text.size() - at - same),
              now.substr(at, now.size() - at - same)};
    m_text = std::move(now);
    m_edits.resize(m_done);

    // Symbols typed or deleted one after the other are taken back together.
    if (m_merging && !m_edits.empty()) {
        Edit& last = m_edits.back();
        const bool typed = edit.removed.empty() && edit.inserted.size() == 1 &&
                           edit.inserted != "\r" && edit.inserted != "\n" &&
                           edit.at == last.at + last.inserted.size() && !last.inserted.empty() &&
                           last.inserted.back() != '\n';
        const bool deleted =
            edit.inserted.empty() && edit.removed.size() == 1 && last.inserted.empty();
        if (typed) {
            last.inserted += edit.inserted;
            return;
        }
        if (deleted && edit.at + 1 == last.at) { // Backspace
            last.at = edit.at;
            last.removed.insert(0, edit.removed);
            return;
        }
        if (deleted && edit.at == last.at) { // Delete
            last.removed += edit.removed;
            return;
        }
    }
    m_edits.push_back(std::move(edit));
    m_done = m_edits.size();
    m_merging = true;
}

bool TextUndo::undo() {
    noteEdit(); // an edit whose lines are not cut again yet
    if (!canUndo())
        return false;
    const Edit& edit = m_edits[--m_done];
    m_text.replace(edit.at, edit.inserted.size(), edit.removed);
    show(edit.at + edit.removed.size());
    return true;
}

bool TextUndo::redo() {
    noteEdit();
    if (!canRedo())
        return false;
    const Edit& edit = m_edits[m_done++];
    m_text.replace(edit.at, edit.removed.size(), edit.inserted);
    show(edit.at + edit.inserted.size());
    return true;
}

// Gives the pane the text and puts the caret at a place in it (CR LF counting two).
void TextUndo::show(std::size_t caret) {
    m_merging = false;
    m_pane.showEditedText(m_text);
    m_pane.placeCaret(caret);
}

bool TextUndo::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_pane ||
        (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress))
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const UndoKey which = undoKeyOf(*key);
    if (which == UndoKey::None || m_pane.isReadOnly())
        return QObject::eventFilter(watched, event);
    // The pane takes these keys before any shortcut of the window.
    key->accept();
    if (event->type() == QEvent::KeyPress) {
        if (which == UndoKey::Undo)
            undo();
        else
            redo();
    }
    return true;
}

} // namespace zelmak
