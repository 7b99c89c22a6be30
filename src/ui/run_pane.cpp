#include "run_pane.h"
#include "run_pane_cut.h"

#include <QFontMetricsF>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <climits>
#include <cstring>

namespace zelmak {

using namespace pane_cut;

namespace {

bool isLatin1(const QString& text) {
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 256; });
}

// Characters without a Latin-1 form become '?'.
QString latin1Only(const QString& text) {
    return QString::fromLatin1(text.toLatin1());
}

} // namespace

// Marks the pane's own changes so that they are not taken for the operator's, and keeps the
// pane's signals quiet meanwhile.
class RunPane::ProgramEdit {
public:
    explicit ProgramEdit(RunPane& pane)
        : m_pane(pane), m_blocker(&pane), m_outer(!pane.m_programEdit) {
        pane.m_programEdit = true;
    }
    ~ProgramEdit() {
        if (m_outer)
            m_pane.m_programEdit = false;
    }
    ProgramEdit(const ProgramEdit&) = delete;
    ProgramEdit& operator=(const ProgramEdit&) = delete;

private:
    RunPane& m_pane;
    QSignalBlocker m_blocker;
    bool m_outer;
};

RunPane::RunPane(QWidget* parent) : QPlainTextEdit(parent), m_metrics(std::make_unique<Metrics>()) {
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // The blocks are cut to fit; wrapping only shows a block whole in the rare case that the cut
    // and the layout disagree.
    setWordWrapMode(QTextOption::WrapAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab and Shift+Tab move the focus on, as from every other control of the window; a pane
    // never takes a tab character from the keyboard.
    setTabChangesFocus(true);
    useFont();
    connect(document(), &QTextDocument::contentsChange, this, &RunPane::noteChange);
    m_cutWidth = currentLineWidth();
}

RunPane::~RunPane() = default;

void RunPane::showText(std::string_view text) {
    flushReflow();
    const bool extends =
        m_rawValid && m_cutWidth == currentLineWidth() && text.size() >= m_raw.size() &&
        (m_raw.empty() || std::memcmp(text.data(), m_raw.data(), m_raw.size()) == 0);
    if (extends)
        appendTail(text.substr(m_raw.size()));
    else
        rebuild(text, Caret::ToEnd);
}

void RunPane::appendLine(std::string_view line) {
    flushReflow();
    if (m_cutWidth != currentLineWidth()) {
        rebuild(text8(), Caret::ToEnd);
    } else if (!m_rawValid) {
        m_raw = text8();
        m_rawValid = true;
    }
    // The line becomes a line of its own, also after text that ends without a line break.
    const bool openLine = !m_raw.empty() && m_raw.back() != '\r' && m_raw.back() != '\n';
    std::string tail;
    tail.reserve(line.size() + 4);
    if (openLine)
        tail += "\r\n";
    tail.append(line);
    tail += "\r\n";
    appendTail(tail);
}

void RunPane::clearText() {
    flushReflow();
    rebuild({}, Caret::ToEnd);
}

std::string RunPane::text8() const {
    if (m_rawValid)
        return withCrLf(m_raw);
    // One pass over the document's text; each block separator ends the block at hand.
    const QString raw = document()->toRawText();
    std::string out;
    out.reserve(static_cast<std::size_t>(raw.size()) + 2);
    QTextBlock block = document()->firstBlock();
    for (const QChar c : raw) {
        if (c.unicode() == kSeparator) {
            if (block.next().isValid() && !softAfter(block))
                out += "\r\n";
            block = block.next();
        } else {
            out.push_back(c.unicode() < 256 ? static_cast<char>(c.unicode()) : '?');
        }
    }
    return out;
}

const RunPane::Metrics& RunPane::metrics() const {
    Metrics& m = *m_metrics;
    if (!m.valid) {
        const QFontMetricsF fm(document()->defaultFont());
        for (int c = 0; c < 256; ++c) {
            const QChar ch(static_cast<char16_t>(c));
            const auto i = static_cast<std::size_t>(c);
            // Control characters take no room in the layout.
            const bool control = c < 0x20 || (c >= 0x7f && c < 0xa0);
            const double advance = control ? 0.0 : fm.horizontalAdvance(ch);
            const double overhang = control ? 0.0 : std::max(0.0, -fm.rightBearing(ch));
            // A soft hyphen takes room only where a line breaks after it.
            m.advance[i] = c == 0xad ? 0.0 : advance;
            m.need[i] = advance + overhang;
            m.hangs[i] = ch.isSpace() && c != 0xa0;
        }
        m.valid = true;
    }
    m.tabStop = document()->defaultTextOption().tabStopDistance();
    m.lineWidth = currentLineWidth();
    return m;
}

// The layout then places symbols at the plain sum of their advances, which the cutting needs.
void RunPane::useFont() {
    ProgramEdit edit(*this);
    QFont f = font();
    f.setKerning(false);
    f.setStyleStrategy(QFont::StyleStrategy(f.styleStrategy() | QFont::PreferNoShaping));
    document()->setDefaultFont(f);
    m_metrics->valid = false;
}

// The width the document layout gives a line of text.
double RunPane::currentLineWidth() const {
    const int width = viewport()->width();
    if (width <= 0)
        return static_cast<double>(INT_MAX);
    return width - 2 * document()->documentMargin();
}

void RunPane::cutText(std::string_view text, const QString& lineSoFar, bool skipFirstLf,
                      Cut& cut) const {
    LineFill fill(metrics());
    for (const QChar c : lineSoFar)
        fill.add(c.unicode());
    cut.text.reserve(text.size() + text.size() / 16 + 4);
    for (std::size_t i = skipFirstLf ? 1 : 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            cut.text.push_back(kSeparator);
            cut.soft.push_back(0);
            fill.reset();
            continue;
        }
        if (!fill.fits(c)) {
            cut.text.push_back(kSeparator);
            cut.soft.push_back(1);
            fill.reset();
        }
        fill.add(c);
        cut.text.push_back(c);
    }
}

// Replaces the document text in [from, to) by the cut and gives the blocks it makes their
// states; the last of them ends as lastState.
void RunPane::replaceRange(int from, int to, const Cut& cut, int lastState) {
    QTextCursor cursor(document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    cursor.beginEditBlock();
    if (cut.text.empty())
        cursor.removeSelectedText();
    else
        cursor.insertText(QString::fromRawData(reinterpret_cast<const QChar*>(cut.text.data()),
                                               static_cast<qsizetype>(cut.text.size())));
    cursor.endEditBlock();
    QTextBlock block = document()->findBlock(from);
    for (const char soft : cut.soft) {
        block.setUserState(soft != 0 ? kSoftEnd : kHardEnd);
        block = block.next();
    }
    block.setUserState(lastState);
}

void RunPane::rebuild(std::string_view text, Caret caret) {
    ProgramEdit edit(*this);
    int anchor = 0;
    int position = 0;
    if (caret == Caret::Keep) {
        const QTextCursor old = textCursor();
        anchor = old.anchor() - softBreaksBefore(old.anchor());
        position = old.position() - softBreaksBefore(old.position());
    }
    const bool modified = document()->isModified();

    Cut cut;
    if (m_wrapAtBlanks)
        cutWords(text, cut);
    else
        cutText(text, {}, false, cut);
    m_cutWidth = currentLineWidth();
    // Clearing drops the old blocks at once, cheaper than removing them through a cursor.
    document()->clear();
    replaceRange(0, 0, cut, kHardEnd);
    m_raw.assign(text);
    m_rawValid = true;
    m_dirtyFrom = m_dirtyTo = -1;
    if (caret == Caret::ToEnd) {
        finishProgramText();
        return;
    }
    QTextCursor restored(document());
    restored.setPosition(positionOfLogical(anchor));
    restored.setPosition(positionOfLogical(position), QTextCursor::KeepAnchor);
    setTextCursor(restored);
    document()->setModified(modified);
}

void RunPane::appendTail(std::string_view tail) {
    ProgramEdit edit(*this);
    if (!tail.empty()) {
        // A CR that ended the earlier text has made the break already; its LF adds none.
        const bool skipLf = !m_raw.empty() && m_raw.back() == '\r' && tail.front() == '\n';
        if (m_wrapAtBlanks) {
            appendWords(tail, skipLf);
        } else {
            Cut cut;
            cutText(tail, document()->lastBlock().text(), skipLf, cut);
            const int end = document()->characterCount() - 1;
            replaceRange(end, end, cut, kHardEnd);
        }
        m_raw.append(tail);
    }
    finishProgramText();
}

// Text from the program leaves the caret at its end, in view, and the pane unmodified.
void RunPane::finishProgramText() {
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    setTextCursor(end);
    ensureCursorVisible();
    document()->setModified(false);
}

void RunPane::resplit() {
    const bool edited = m_dirtyFrom >= 0;
    const std::string text = m_rawValid ? m_raw : text8();
    rebuild(text, Caret::Keep);
    ensureCursorVisible();
    if (edited)
        emit operatorEdited();
}

void RunPane::noteChange(int from, int removed, int added) {
    if (m_programEdit)
        return;
    m_rawValid = false;
    std::string().swap(m_raw);
    const int to = from + added;
    if (m_dirtyFrom < 0) {
        m_dirtyFrom = from;
        m_dirtyTo = to;
    } else {
        // Carry the earlier range over this change.
        const auto moved = [&](int p) {
            return p < from ? p : p >= from + removed ? p - removed + added : to;
        };
        m_dirtyFrom = std::min(moved(m_dirtyFrom), from);
        m_dirtyTo = std::max(moved(m_dirtyTo), to);
    }
    // Changes that come by mouse or menu are re-cut once the event is done; keys do it at once.
    if (!m_flushQueued) {
        m_flushQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_flushQueued = false;
                flushReflow();
            },
            Qt::QueuedConnection);
    }
}

void RunPane::flushReflow() {
    if (m_dirtyFrom < 0)
        return;
    if (m_cutWidth != currentLineWidth()) {
        resplit();
        return;
    }
    const int from = m_dirtyFrom;
    const int to = m_dirtyTo;
    m_dirtyFrom = m_dirtyTo = -1;
    if (m_wrapAtBlanks)
        reflowWords(from, to);
    else
        reflow(from, to);
    emit operatorEdited();
}

// Re-cuts the lines that a change of the operator touched: from the block before the change on,
// until a soft break behind the change falls where it fell before (the rest of the line is then
// cut as it was) or the line ends.
void RunPane::reflow(int from, int to) {
    QTextDocument* doc = document();
    to = std::clamp(to, 0, doc->characterCount() - 1);
    from = std::clamp(from, 0, to);
    QTextBlock block = doc->findBlock(from);
    if (block.previous().isValid() && softAfter(block.previous()))
        block = block.previous();
    const int start = block.position();

    const QTextCursor caret = textCursor();
    int anchorLogical = -1;
    int positionLogical = -1;

    Cut cut;
    std::vector<int> oldBreaks;
    std::vector<int> newBreaks;
    LineFill fill(metrics());
    int logical = 0; // from start; hard breaks count one, soft ones nothing
    int end = start;
    int lastState = kHardEnd;
    for (;;) {
        const QString text = block.text();
        const int blockStart = block.position();
        const int blockEnd = blockStart + static_cast<int>(text.size());
        const auto note = [&](int position, int& out) {
            if (out < 0 && position >= blockStart && position <= blockEnd)
                out = logical + position - blockStart;
        };
        note(caret.anchor(), anchorLogical);
        note(caret.position(), positionLogical);
        for (const QChar ch : text) {
            if (!fill.fits(ch.unicode())) {
                cut.text.push_back(kSeparator);
                cut.soft.push_back(1);
                newBreaks.push_back(logical);
                fill.reset();
            }
            fill.add(ch.unicode());
            cut.text.push_back(ch.unicode());
            ++logical;
        }
        end = blockEnd;
        const QTextBlock next = block.next();
        if (softAfter(block)) {
            oldBreaks.push_back(logical);
            const QString nextText = next.text();
            if (next.position() > to && !nextText.isEmpty() && !fill.fits(nextText[0].unicode())) {
                lastState = kSoftEnd;
                break;
            }
        } else {
            if (!next.isValid() || next.position() > to)
                break;
            // The change reaches into the next line.
            cut.text.push_back(kSeparator);
            cut.soft.push_back(0);
            ++logical;
            fill.reset();
        }
        block = next;
    }
    if (oldBreaks != newBreaks)
        replaceKeepingCaret(start, end, cut, lastState, anchorLogical, positionLogical);
}

// Replaces the document text in [start, end) by the cut of the same logical text and keeps the
// caret on its symbols; the logical offsets, from start, are those of a caret end in the range.
void RunPane::replaceKeepingCaret(int start, int end, const Cut& cut, int lastState,
                                  int anchorLogical, int positionLogical) {
    QTextDocument* doc = document();
    const QTextCursor caret = textCursor();
    const int delta = static_cast<int>(cut.text.size()) - (end - start);
    const auto place = [&](int position, int logicalOffset) {
        if (position < start)
            return position;
        if (position > end)
            return position + delta;
        return start + offsetOfLogical(cut.text, cut.soft, logicalOffset);
    };
    const int anchor = place(caret.anchor(), anchorLogical);
    const int position = place(caret.position(), positionLogical);

    ProgramEdit edit(*this);
    const bool modified = doc->isModified();
    replaceRange(start, end, cut, lastState);
    doc->setModified(modified);
    QTextCursor moved(doc);
    moved.setPosition(anchor);
    moved.setPosition(position, QTextCursor::KeepAnchor);
    setTextCursor(moved);
    ensureCursorVisible();
}

int RunPane::softBreaksBefore(int position) const {
    int soft = 0;
    for (QTextBlock block = document()->firstBlock();
         block.isValid() && block.position() + block.length() <= position; block = block.next()) {
        if (softAfter(block))
            ++soft;
    }
    return soft;
}

// The document position of a logical offset; at a soft break the start of the next block.
int RunPane::positionOfLogical(int logical) const {
    int soft = 0;
    for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next()) {
        const int position = logical + soft;
        const int end = block.position() + block.length() - 1;
        const bool softEnd = softAfter(block);
        if (position < end || (position == end && !softEnd))
            return position;
        if (softEnd)
            ++soft;
    }
    return document()->characterCount() - 1;
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
    const QTextBlock block = caret.block();
    if (back && caret.atBlockStart() && block.previous().isValid() && softAfter(block.previous()))
        caret.setPosition(caret.position() - 1, mode);
    else if (forward && caret.atBlockEnd() && softAfter(block))
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
        // Always a hard break between blocks, also with Shift (no line separator in a block).
        QTextCursor caret = textCursor();
        caret.beginEditBlock();
        caret.removeSelectedText();
        const int state = caret.block().userState();
        caret.insertBlock();
        caret.block().previous().setUserState(kHardEnd);
        caret.block().setUserState(state);
        caret.endEditBlock();
        setTextCursor(caret);
        ensureCursorVisible();
        event->accept();
        flushReflow();
        return;
    }
    skipSoftBreak(event);
    if (isLatin1(event->text())) {
        QPlainTextEdit::keyPressEvent(event);
    } else {
        QKeyEvent latin(event->type(), event->key(), event->modifiers(), latin1Only(event->text()),
                        event->isAutoRepeat(), static_cast<quint16>(event->count()));
        QPlainTextEdit::keyPressEvent(&latin);
        event->setAccepted(latin.isAccepted());
    }
    flushReflow();
}

void RunPane::inputMethodEvent(QInputMethodEvent* event) {
    if (isLatin1(event->commitString())) {
        QPlainTextEdit::inputMethodEvent(event);
    } else {
        QInputMethodEvent latin(event->preeditString(), event->attributes());
        latin.setCommitString(latin1Only(event->commitString()), event->replacementStart(),
                              event->replacementLength());
        QPlainTextEdit::inputMethodEvent(&latin);
        event->setAccepted(latin.isAccepted());
    }
    flushReflow();
}

void RunPane::dropEvent(QDropEvent* event) {
    QPlainTextEdit::dropEvent(event);
    flushReflow();
}

void RunPane::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    if (m_cutWidth != currentLineWidth())
        resplit();
}

void RunPane::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::ApplicationFontChange) {
        useFont();
        resplit();
    }
}

// The selection as one text: soft breaks left out, hard ones as line feeds.
QMimeData* RunPane::createMimeDataFromSelection() const {
    const QTextCursor caret = textCursor();
    const int from = caret.selectionStart();
    const int to = caret.selectionEnd();
    QString text;
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        const QString blockText = block.text();
        const int blockEnd = block.position() + static_cast<int>(blockText.size());
        const int first = std::max(from, block.position()) - block.position();
        const int last = std::min(to, blockEnd) - block.position();
        if (first < last)
            text += QStringView(blockText).mid(first, last - first);
        if (to > blockEnd && !softAfter(block))
            text += u'\n';
    }
    auto* mime = new QMimeData;
    mime->setText(text);
    return mime;
}

// Pasted and dropped text: characters without a Latin-1 form become '?', and every CR LF, CR or
// LF becomes a hard break.
void RunPane::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText() || isReadOnly())
        return;
    const QString text = latin1Only(source->text());
    QTextCursor caret = textCursor();
    caret.beginEditBlock();
    caret.removeSelectedText();
    const int state = caret.block().userState();
    qsizetype begin = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u'\r' && text[i] != u'\n')
            continue;
        caret.insertText(text.mid(begin, i - begin));
        if (i == text.size())
            break;
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        caret.insertBlock();
        caret.block().previous().setUserState(kHardEnd);
        begin = i + 1;
    }
    caret.block().setUserState(state);
    caret.endEditBlock();
    setTextCursor(caret);
    ensureCursorVisible();
}

} // namespace zelmak
