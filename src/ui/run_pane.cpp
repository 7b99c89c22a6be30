#include "run_pane.h"

#include "files/text_files.h"

#include <QDropEvent>
#include <QFontMetricsF>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace zelmak {

namespace {

constexpr char16_t kBlockBreak = QChar::ParagraphSeparator;
constexpr char16_t kLineBreak = QChar::LineSeparator;
// A break, hard or soft, ends the block rather than only the line once the block holds this many
// characters. The document pays for every block, so a long text wants few of them; a key lays
// its block out again, so a block must stay short.
constexpr std::size_t kBlockSize = 512;

} // namespace

// Cuts text (every hard line break as LF) into the document's characters: a soft break wherever
// the next symbol could come within the margin of the line's end (after the last blank on the
// line, when cutting at blanks), each hard break as a break of its own. A break is a block break
// once the block holds kBlockSize characters, else a line separator. The cut depends only on the
// text from the start of its block on, and the lines only on the text from their start on.
class RunPane::Cutter {
public:
    // `filled`: the characters of the block before the text to be cut.
    Cutter(const std::array<double, 256>& need, double limit, bool words, std::size_t filled)
        : m_need(need), m_limit(limit), m_words(words), m_filled(filled) {}

    void add(unsigned char c) {
        if (c == '\n') {
            out.push_back(separator(out.size()));
            m_line = m_blank = out.size();
            m_x = 0;
            return;
        }
        const double need = m_need[c];
        // A blank may take the margin, so that it ends a line rather than starts the next.
        while (m_x + need > m_limit && out.size() > m_line &&
               !(m_words && c == ' ' && m_x <= m_limit))
            cut(m_blank > m_line ? m_blank : out.size());
        out.push_back(c);
        m_x += need;
        if (m_words && (c == ' ' || c == '\t'))
            m_blank = out.size();
    }

    std::vector<char16_t> out;
    std::vector<std::size_t> soft; // the places of the soft breaks in out

private:
    char16_t separator(std::size_t at) {
        if (at + m_filled - m_block < kBlockSize)
            return kLineBreak;
        m_block = at + 1;
        m_filled = 0;
        return kBlockBreak;
    }
    // A soft break at `at` in out, on the line at hand.
    void cut(std::size_t at) {
        soft.push_back(at);
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(at), separator(at));
        m_line = m_blank = at + 1;
        m_x = 0;
        for (std::size_t i = m_line; i < out.size(); ++i)
            m_x += m_need[out[i]];
    }

    const std::array<double, 256>& m_need;
    double m_limit;
    bool m_words;
    std::size_t m_filled;
    double m_x = 0;          // width of the line so far
    std::size_t m_block = 0; // where the block starts in out
    std::size_t m_line = 0;  // where the line starts in out
    std::size_t m_blank = 0; // in out, after the last blank of the line
};

// Marks the pane's own changes so that they are not taken for the operator's, and keeps the
// pane's signals quiet meanwhile.
struct RunPane::ProgramEdit {
    explicit ProgramEdit(RunPane& pane) : blocker(&pane), mark(pane.m_programEdit, true) {}
    QSignalBlocker blocker;
    QScopedValueRollback<bool> mark;
};

RunPane::RunPane(QWidget* parent) : QPlainTextEdit(parent) {
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // The blocks are cut to fit; should a block not fit after all, the edit wraps it.
    setWordWrapMode(QTextOption::WrapAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab and Shift+Tab move the focus on, as from every other control of the window; a pane
    // never takes a tab character from the keyboard.
    setTabChangesFocus(true);
    useFont();
    connect(document(), &QTextDocument::contentsChange, this, &RunPane::noteChange);
    m_cutWidth = lineWidth();
}

void RunPane::showText(std::string_view text) {
    giveText(text);
    emit textGiven();
}

void RunPane::showEditedText(std::string_view text) {
    giveText(text);
    emit operatorEdited();
}

void RunPane::giveText(std::string_view text) {
    recut();
    const std::size_t kept = std::min(text.size(), m_text.size());
    if (!m_given || text.substr(0, kept) != std::string_view(m_text).substr(0, kept)) {
        rebuild(text);
        return;
    }
    if (kept < m_text.size()) {
        // The pane holds all but the text's end: the end goes, and the lines from the one before
        // it are cut again.
        ProgramEdit edit(*this);
        m_text.resize(kept);
        const int start = lineStart(position(kept));
        cutFrom(isSoftBreak(start - 1) ? lineStart(start - 1) : start, kept);
    }
    appendTail(text.substr(kept));
}

void RunPane::appendLine(std::string_view line) {
    recut();
    // The line becomes a line of its own, also after text that ends without a line break.
    std::string tail = !m_text.empty() && m_text.back() != '\n' ? "\n" : "";
    tail.append(line);
    tail += '\n';
    appendTail(tail);
    m_given = false;
    emit textGiven();
}

void RunPane::clearText() {
    recut();
    rebuild({});
    emit textGiven();
}

std::string RunPane::text8() const {
    return withCrLf(m_text);
}

void RunPane::placeCaret(std::size_t offset) {
    std::size_t index = 0;
    for (std::size_t at = 0; index < m_text.size(); ++index) {
        at += m_text[index] == '\n' ? 2 : 1;
        if (at > offset)
            break;
    }
    QTextCursor caret(document());
    caret.setPosition(position(index));
    setTextCursor(caret);
    ensureCursorVisible();
}

void RunPane::setWrapAtBlanks(bool wrap) {
    if (wrap == m_wrapAtBlanks)
        return;
    m_wrapAtBlanks = wrap;
    setWordWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::WrapAnywhere);
    recut(true);
}

// Measures the symbols. Without kerning and shaping the edit places them at the sum of their
// advances; what is not measured here (a control character, a soft hyphen) counts as the widest.
void RunPane::useFont() {
    ProgramEdit edit(*this);
    QFont f = font();
    f.setKerning(false);
    f.setStyleStrategy(QFont::StyleStrategy(f.styleStrategy() | QFont::PreferNoShaping));
    document()->setDefaultFont(f);
    const QFontMetricsF metrics(f);
    m_widest = 0;
    for (int c = 0; c < 256; ++c) {
        const QChar ch(static_cast<char16_t>(c));
        const double need =
            ch.isPrint() ? std::max(metrics.horizontalAdvance(ch), metrics.boundingRect(ch).right())
                         : -1;
        m_need[static_cast<std::size_t>(c)] = need;
        m_widest = std::max(m_widest, need);
    }
    for (double& need : m_need)
        if (need < 0)
            need = m_widest;
    // A tab goes on to the next stop, never further than one stop.
    const double tabStop = document()->defaultTextOption().tabStopDistance();
    m_need['\t'] = tabStop > 0 ? tabStop : 80;
}

// The width the document layout gives a line of text.
double RunPane::lineWidth() const {
    const int width = viewport()->width();
    if (width <= 0)
        return static_cast<double>(INT_MAX);
    return width - 2 * document()->documentMargin();
}

RunPane::Cutter RunPane::cutter(std::size_t filled) const {
    return Cutter(m_need, lineWidth() - m_widest, m_wrapAtBlanks, filled);
}

// The index in m_text of the character at a place of the document; at a soft break, that of the
// character after it.
std::size_t RunPane::textIndex(int place) const {
    const auto before = std::lower_bound(m_soft.begin(), m_soft.end(), place) - m_soft.begin();
    return static_cast<std::size_t>(place - before);
}

// The place in the document of the character at an index of m_text; after a soft break before
// it, where the caret shows.
int RunPane::position(std::size_t index) const {
    const auto first = std::partition_point(m_soft.begin(), m_soft.end(), [&](const int& p) {
        const auto k = static_cast<std::size_t>(&p - m_soft.data()); // breaks before this one
        return static_cast<std::size_t>(p) - k <= index; // the next character comes first
    });
    return static_cast<int>(index + static_cast<std::size_t>(first - m_soft.begin()));
}

// The place where the line holding a place of the document starts.
int RunPane::lineStart(int place) const {
    const QTextBlock block = document()->findBlock(place);
    const QString text = block.text();
    const auto at = text.lastIndexOf(QChar(kLineBreak), place - block.position() - 1);
    return at < 0 || place == block.position() ? block.position()
                                               : block.position() + static_cast<int>(at) + 1;
}

// Replaces the document text in [from, to) by the text.
void RunPane::replaceRange(int from, int to, std::u16string_view text) {
    QTextDocument* doc = document();
    const bool whole = from == 0 && to == doc->characterCount() - 1;
    if (whole) // cheaper than removing the old blocks through a cursor
        doc->clear();
    QTextCursor cursor(doc);
    cursor.setPosition(whole ? 0 : from);
    cursor.setPosition(whole ? 0 : to, QTextCursor::KeepAnchor);
    if (text.empty())
        cursor.removeSelectedText();
    else
        cursor.insertText(QString::fromRawData(reinterpret_cast<const QChar*>(text.data()),
                                               static_cast<qsizetype>(text.size())));
}

void RunPane::rebuild(std::string_view text) {
    ProgramEdit edit(*this);
    m_text.clear();
    m_soft.clear();
    m_given = true; // the callers have cut the operator's changes and a new width already
    document()->clear();
    appendTail(text);
}

// The tail goes on with the last line, which is cut again with it.
void RunPane::appendTail(std::string_view tail) {
    ProgramEdit edit(*this);
    if (!tail.empty()) {
        const bool plain = tail.find('\r') == std::string_view::npos;
        if (plain)
            m_text.append(tail);
        else
            m_text.append(withLineBreaks(tail, "\n"));
        m_given = m_given && plain;
        cutFrom(lineStart(document()->characterCount() - 1), kClean);
    }
    // Text from the program leaves the pane unmodified and the caret at its end or start, in view.
    QTextCursor caret(document());
    caret.movePosition(m_followsEnd ? QTextCursor::End : QTextCursor::Start);
    setTextCursor(caret);
    ensureCursorVisible();
    document()->setModified(false);
}

// Cuts the text again from the line that starts at the place `start`, through the text changed
// before index `changedEnd` of m_text (kClean: all of it), until its lines fall as they fell before
// (at a soft break where one was, or at a hard break) or the text ends, and puts the new cut in the
// document.
void RunPane::cutFrom(int start, std::size_t changedEnd) {
    QTextDocument* doc = document();
    const std::size_t first = textIndex(start);
    Cutter cut = cutter(static_cast<std::size_t>(start - doc->findBlock(start).position()));
    auto was = std::lower_bound(m_soft.begin(), m_soft.end(), start);
    int end = doc->characterCount() - 1; // the new cut replaces [start, end)
    std::size_t size = SIZE_MAX;         // of the new cut that does
    cut.out.reserve(m_text.size() - first + (m_text.size() - first) / 8 + 16);
    for (std::size_t i = first, seen = 0; i < m_text.size() && size == SIZE_MAX; ++i) {
        const auto c = static_cast<unsigned char>(m_text[i]);
        cut.add(c);
        if (c == '\n' && i >= changedEnd) {
            end = position(i) + 1;
            size = cut.out.size();
        }
        for (; seen < cut.soft.size() && size == SIZE_MAX; ++seen) {
            const std::size_t next = first + cut.soft[seen] - seen; // index after the break
            const auto wasNext = [&] {
                return static_cast<std::size_t>(*was - (was - m_soft.begin()));
            };
            while (was != m_soft.end() && wasNext() < next)
                ++was;
            // A break right before a change starts a line that the change has altered.
            if (next > changedEnd && was != m_soft.end() && wasNext() == next) {
                end = *was + 1;
                size = cut.soft[seen] + 1;
            }
        }
    }
    if (size == SIZE_MAX) {
        // The last line is a block of its own, which a key lays out again alone.
        size = cut.out.size();
        const auto last = std::find_if(cut.out.rbegin(), cut.out.rend(), [](char16_t c) {
            return c == kLineBreak || c == kBlockBreak;
        });
        if (last != cut.out.rend())
            *last = kBlockBreak;
    } else if (end < doc->characterCount() - 1 && doc->characterAt(end - 1) == QChar(kBlockBreak)) {
        cut.out[size - 1] = kBlockBreak; // a block break that stays keeps the blocks after it
    }

    // Only what differs from the document goes in.
    QTextCursor shown(doc);
    shown.setPosition(start);
    shown.setPosition(std::min(end, start + static_cast<int>(size)), QTextCursor::KeepAnchor);
    const QString old = shown.selectedText();
    const auto* from = reinterpret_cast<const char16_t*>(old.constData());
    const auto same = static_cast<std::size_t>(
        std::mismatch(from, from + old.size(), cut.out.begin()).first - from);
    replaceRange(start + static_cast<int>(same), end, {cut.out.data() + same, size - same});

    const auto oldFrom = std::lower_bound(m_soft.begin(), m_soft.end(), start);
    const auto oldTo = std::lower_bound(oldFrom, m_soft.end(), end);
    std::for_each(oldTo, m_soft.end(),
                  [&](int& p) { p += static_cast<int>(size) - (end - start); });
    const auto kept = std::lower_bound(cut.soft.begin(), cut.soft.end(), size) - cut.soft.begin();
    const auto placed =
        m_soft.insert(m_soft.erase(oldFrom, oldTo), cut.soft.begin(), cut.soft.begin() + kept);
    std::for_each(placed, placed + kept, [&](int& p) { p += start; });
}

// The operator's change goes into the text: the characters added are read from the document,
// where every break they hold is a hard one.
void RunPane::noteChange(int from, int removed, int added) {
    if (m_programEdit)
        return;
    // A report may take in the end of the document, which is no character.
    const int over = std::max(0, from + added - (document()->characterCount() - 1));
    added -= over;
    removed = std::max(0, removed - over);
    if (m_inputMethod) {
        // An input method reports its change over the whole block. What shows as before at either
        // end of the report is left out, so that the soft breaks there stay soft.
        const auto before = [&](int p) {
            const char c =
                isSoftBreak(p) ? '\n' : m_text[std::min(textIndex(p), m_text.size() - 1)];
            return c == '\n' ? kLineBreak : static_cast<char16_t>(static_cast<unsigned char>(c));
        };
        const auto now = [&](int p) {
            const char16_t c = document()->characterAt(p).unicode();
            return c == kBlockBreak ? kLineBreak : c;
        };
        for (; removed > 0 && added > 0 && before(from) == now(from); --removed, --added)
            ++from;
        while (removed > 0 && added > 0 && before(from + removed - 1) == now(from + added - 1))
            --removed, --added;
        if (removed == 0 && added == 0)
            return; // a composition shown, but nothing taken into the text yet
    }
    const auto first = std::lower_bound(m_soft.begin(), m_soft.end(), from);
    const auto last = std::lower_bound(first, m_soft.end(), from + removed);
    // Kept within the text, so that a report that does not add up can never throw here.
    const auto at =
        std::min(static_cast<std::size_t>(from - (first - m_soft.begin())), m_text.size());
    const auto gone =
        std::min(static_cast<std::size_t>(removed - (last - first)), m_text.size() - at);
    QTextCursor range(document());
    range.setPosition(from);
    range.setPosition(from + added, QTextCursor::KeepAnchor);
    std::string text;
    for (const QChar c : range.selectedText())
        text.push_back(c == QChar(kLineBreak) || c == QChar(kBlockBreak) ? '\n'
                       : c.unicode() < 256 ? static_cast<char>(c.unicode())
                                           : '?');
    m_text.replace(at, gone, text);
    std::for_each(last, m_soft.end(), [&](int& p) { p += added - removed; });
    m_soft.erase(first, last);
    m_given = false;

    const std::size_t to = at + text.size();
    if (m_dirtyFrom == kClean) {
        m_dirtyFrom = at;
        m_dirtyTo = to;
    } else {
        // Carry the earlier range over this change.
        const auto moved = [&](std::size_t p) {
            return p < at ? p : p >= at + gone ? p - gone + text.size() : to;
        };
        m_dirtyFrom = std::min(moved(m_dirtyFrom), at);
        m_dirtyTo = std::max(moved(m_dirtyTo), to);
    }
    // Changes that come by mouse or menu are cut again once the event is done; keys do it at once.
    if (!m_flushQueued) {
        m_flushQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_flushQueued = false;
                recut();
            },
            Qt::QueuedConnection);
    }
}

// Cuts the lines around the operator's changes again, or all lines when `all` asks or the width
// has changed since the last cut. The caret keeps its place in the text.
void RunPane::recut(bool all) {
    const bool edited = m_dirtyFrom != kClean;
    if (!edited && !all && m_cutWidth == lineWidth())
        return;
    all = all || m_cutWidth != lineWidth();
    const std::size_t from = all ? 0 : m_dirtyFrom;
    const std::size_t to = all ? m_text.size() : m_dirtyTo;
    m_dirtyFrom = m_dirtyTo = kClean;
    m_cutWidth = lineWidth();
    const QTextCursor caret = textCursor();
    const std::size_t anchor = textIndex(caret.anchor());
    const std::size_t place = textIndex(caret.position());
    // The line before a changed one ends where a symbol on the changed line did not fit on it,
    // and so may end elsewhere now. When cutting at blanks, that symbol can also stand one line
    // further on (where the word it began was wider than a line), and the same goes for the line
    // before that.
    int start = lineStart(position(from));
    for (int back = m_wrapAtBlanks ? 2 : 1; back > 0 && isSoftBreak(start - 1); --back)
        start = lineStart(start - 1);
    {
        ProgramEdit edit(*this);
        const bool modified = document()->isModified();
        cutFrom(start, to);
        document()->setModified(modified);
        QTextCursor moved(document());
        moved.setPosition(position(anchor));
        moved.setPosition(position(place), QTextCursor::KeepAnchor);
        setTextCursor(moved);
        ensureCursorVisible();
    }
    if (edited)
        emit operatorEdited();
}

// Moves the caret across a soft break first, so that a key acting on the symbol beside the caret
// acts on the symbol across the break, as in one long line.
bool RunPane::skipSoftBreak(QKeyEvent* event) {
    const bool plainBackspace = event->key() == Qt::Key_Backspace &&
                                !(event->modifiers() & ~Qt::ShiftModifier) && !isReadOnly();
    const bool select = event->matches(QKeySequence::SelectPreviousChar) ||
                        event->matches(QKeySequence::SelectNextChar);
    const bool back = plainBackspace || event->matches(QKeySequence::MoveToPreviousChar) ||
                      event->matches(QKeySequence::SelectPreviousChar);
    const bool forward = (event->matches(QKeySequence::Delete) && !isReadOnly()) ||
                         event->matches(QKeySequence::MoveToNextChar) ||
                         event->matches(QKeySequence::SelectNextChar);
    QTextCursor caret = textCursor();
    if ((!back && !forward) || (caret.hasSelection() && !select))
        return false;
    const auto mode = select ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor;
    if (back && isSoftBreak(caret.position() - 1))
        caret.setPosition(caret.position() - 1, mode);
    else if (forward && isSoftBreak(caret.position()))
        caret.setPosition(caret.position() + 1, mode);
    else
        return false;
    setTextCursor(caret);
    return true;
}

void RunPane::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (!m_acceptsReturn || isReadOnly()) {
            event->ignore();
            return;
        }
        insertPlainText(QString(QChar(kLineBreak))); // always a hard break, also with Shift
        ensureCursorVisible();
        event->accept();
    } else {
        skipSoftBreak(event);
        QPlainTextEdit::keyPressEvent(event);
    }
    recut(); // a character without a Latin-1 form, taken into the text as '?', shows as one
}

void RunPane::inputMethodEvent(QInputMethodEvent* event) {
    {
        QScopedValueRollback<bool> mark(m_inputMethod, true);
        QPlainTextEdit::inputMethodEvent(event);
    }
    recut();
}

void RunPane::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    recut();
}

void RunPane::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::ApplicationFontChange) {
        useFont();
        recut(true);
    }
}

QMimeData* RunPane::createMimeDataFromSelection() const {
    const std::size_t from = textIndex(textCursor().selectionStart());
    const std::size_t to = textIndex(textCursor().selectionEnd());
    auto* mime = new QMimeData;
    mime->setText(QString::fromLatin1(m_text.data() + from, static_cast<qsizetype>(to - from)));
    return mime;
}

// Pasted and dropped text: characters without a Latin-1 form become '?', and every CR LF, CR or
// LF becomes a hard break.
void RunPane::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText() || isReadOnly())
        return;
    const std::string text = withLineBreaks(source->text().toLatin1().toStdString(), "\n");
    insertPlainText(QString::fromLatin1(text).replace(u'\n', QChar(kLineBreak)));
    ensureCursorVisible();
}

// Qt makes a move within the pane one change over all the text between its two ends, in which
// soft breaks could not be told from the operator's hard ones; here the text is copied to its
// new place and then taken from its old one, two changes of their own.
void RunPane::dropEvent(QDropEvent* event) {
    QTextCursor dragged = textCursor();
    if (event->source() != viewport() || event->dropAction() != Qt::MoveAction ||
        !dragged.hasSelection() || isReadOnly()) {
        QPlainTextEdit::dropEvent(event);
        return;
    }
    const int target = cursorForPosition(event->position().toPoint()).position();
    if (target > dragged.selectionStart() && target < dragged.selectionEnd()) {
        event->ignore();
        return;
    }
    QDropEvent copy(event->position(), Qt::CopyAction, event->mimeData(), event->buttons(),
                    event->modifiers());
    QPlainTextEdit::dropEvent(&copy);
    if (copy.isAccepted()) {
        dragged.removeSelectedText();
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

} // namespace zelmak
