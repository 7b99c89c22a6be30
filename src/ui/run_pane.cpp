#include "run_pane.h"

#include "files/text_files.h"

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
// A block's state tells whether the line goes on in the next block (a soft break). It describes
// the break after the block because the document keeps the later block's state when the operator
// deletes a break, and that is then the right state for the joined block.
constexpr int kSoftEnd = 1;
constexpr int kHardEnd = 0;
// Hard breaks end a block only once it holds this many symbols; a block costs the document more
// than a hundred bytes and grows the time to fill it, so empty lines go 64 to a block.
constexpr std::size_t kGroup = 64;

bool softAfter(const QTextBlock& block) {
    return block.userState() == kSoftEnd && block.next().isValid();
}

// Characters without a Latin-1 form become '?'.
QString latin1Only(const QString& text) {
    return QString::fromLatin1(text.toLatin1());
}

} // namespace

// Cuts text into the document's text: a soft block break wherever the next symbol could come
// within the margin of the line's end (after the last blank on the line, when cutting at blanks);
// a hard line break as a block break once the block holds kGroup symbols, else as a line
// separator. Each cut depends only on the text from the start of its block on.
class RunPane::Cutter {
public:
    struct Cut {
        std::size_t input; // symbols fed before it
        std::size_t out;   // its place in out
    };

    Cutter(const std::array<double, 256>& need, double limit, bool words)
        : m_need(need), m_limit(limit), m_words(words) {}

    // One symbol; kLineBreak or kBlockBreak for a hard break.
    void add(char16_t c) {
        if (c == kLineBreak || c == kBlockBreak) {
            const bool block = out.size() - m_block >= kGroup;
            out.push_back(block ? kBlockBreak : kLineBreak);
            if (block) {
                soft.push_back(0);
                m_block = out.size();
            }
            m_line = m_blank = out.size();
            m_x = 0;
            return;
        }
        const double need = width(c);
        // A blank may take the margin, so that it ends a line rather than starts the next.
        while (m_x + need > m_limit && out.size() > m_line &&
               !(m_words && c == u' ' && m_x <= m_limit))
            cut(m_blank > m_line ? m_blank : out.size());
        out.push_back(c);
        m_x += need;
        if (m_words && (c == u' ' || c == u'\t'))
            m_blank = out.size();
    }
    // 8-bit text: CR LF, a lone CR and a lone LF each make one hard break.
    void add8(std::string_view text, bool skipFirstLf) {
        out.reserve(out.size() + text.size() + text.size() / 32 + 4);
        for (std::size_t i = skipFirstLf ? 1 : 0; i < text.size(); ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            add(c == '\r' || c == '\n' ? kLineBreak : char16_t{c});
        }
    }
    std::size_t fed() const { return out.size() - m_softCount; }
    // The place in out of the symbol fed as number `input`; at a soft break the place after it,
    // where the caret shows.
    std::size_t placeOf(std::size_t input) const {
        return input +
               static_cast<std::size_t>(std::count_if(
                   cuts.begin(), cuts.end(), [&](const Cut& c) { return c.input <= input; }));
    }

    std::vector<char16_t> out;
    std::vector<char> soft; // one per block break in out: whether it is soft
    std::vector<Cut> cuts;  // the soft breaks

private:
    double width(char16_t c) const { return m_need[c < 256 ? c : u'?']; }
    // A soft break at `at` in out, on the line at hand.
    void cut(std::size_t at) {
        cuts.push_back({at - m_softCount, at});
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(at), kBlockBreak);
        soft.push_back(1);
        ++m_softCount;
        m_block = m_line = m_blank = at + 1;
        m_x = 0;
        for (std::size_t i = m_line; i < out.size(); ++i)
            m_x += width(out[i]);
    }

    const std::array<double, 256>& m_need;
    double m_limit;
    bool m_words;
    double m_x = 0;          // width of the line so far
    std::size_t m_block = 0; // where the block starts in out
    std::size_t m_line = 0;  // where the line starts in out
    std::size_t m_blank = 0; // in out, after the last blank of the line
    std::size_t m_softCount = 0;
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
    flushReflow();
    const bool extends =
        m_rawValid && m_cutWidth == lineWidth() && text.size() >= m_raw.size() &&
        (m_raw.empty() || std::memcmp(text.data(), m_raw.data(), m_raw.size()) == 0);
    if (extends)
        appendTail(text.substr(m_raw.size()));
    else if (!dropTail(text))
        rebuild(text);
}

// When lines are cut anywhere, the cut of a prefix is the prefix of the cut: the symbols at the
// end go, with the soft breaks among them and one that would be left at the end.
bool RunPane::dropTail(std::string_view text) {
    if (!m_rawValid || m_wrapAtBlanks || m_cutWidth != lineWidth() || text.size() >= m_raw.size() ||
        std::memcmp(text.data(), m_raw.data(), text.size()) != 0)
        return false;
    const std::string_view tail = std::string_view(m_raw).substr(text.size());
    if (tail.find_first_of("\r\n") != std::string_view::npos)
        return false;
    QTextDocument* doc = document();
    const int end = doc->characterCount() - 1;
    int from = end;
    auto remaining = static_cast<int>(tail.size());
    for (QTextBlock block = doc->lastBlock();;) {
        const int inBlock = from - block.position();
        if (inBlock >= remaining) {
            from -= remaining;
            break;
        }
        remaining -= inBlock;
        block = block.previous();
        if (!block.isValid() || !softAfter(block))
            return false;
        from = block.position() + block.length() - 1;
    }
    const QTextBlock last = doc->findBlock(from);
    if (from == last.position() && last.previous().isValid() && softAfter(last.previous()))
        --from;
    ProgramEdit edit(*this);
    replaceRange(from, end, {}, nullptr, kHardEnd);
    m_raw.resize(text.size());
    finishProgramText();
    return true;
}

void RunPane::appendLine(std::string_view line) {
    flushReflow();
    if (!m_rawValid || m_cutWidth != lineWidth())
        rebuild(text8());
    // The line becomes a line of its own, also after text that ends without a line break.
    const bool openLine = !m_raw.empty() && m_raw.back() != '\r' && m_raw.back() != '\n';
    std::string tail = openLine ? "\r\n" : "";
    tail.append(line);
    tail += "\r\n";
    appendTail(tail);
}

void RunPane::clearText() {
    flushReflow();
    rebuild({});
}

std::string RunPane::text8() const {
    if (m_rawValid)
        return withCrLf(m_raw);
    return withCrLf(textBetween(0, document()->characterCount() - 1).toLatin1().toStdString());
}

// The text between two positions: soft breaks left out, hard ones as line feeds.
QString RunPane::textBetween(int from, int to) const {
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
    return text.replace(QChar(kLineBreak), u'\n');
}

void RunPane::setWrapAtBlanks(bool wrap) {
    if (wrap == m_wrapAtBlanks)
        return;
    m_wrapAtBlanks = wrap;
    setWordWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::WrapAnywhere);
    recutAll();
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

RunPane::Cutter RunPane::cutter() const {
    return Cutter(m_need, lineWidth() - m_widest, m_wrapAtBlanks);
}

// Replaces the document text in [from, to) by the text and gives the blocks it makes their states,
// one flag in soft for each block break in it; the last of them ends as lastState.
void RunPane::replaceRange(int from, int to, std::u16string_view text, const char* soft,
                           int lastState) {
    QTextDocument* doc = document();
    const bool whole = from == 0 && to == doc->characterCount() - 1;
    if (whole) // cheaper than removing the old blocks through a cursor
        doc->clear();
    QTextCursor cursor(doc);
    cursor.setPosition(whole ? 0 : from);
    cursor.setPosition(whole ? 0 : to, QTextCursor::KeepAnchor);
    cursor.beginEditBlock();
    if (text.empty())
        cursor.removeSelectedText();
    else
        cursor.insertText(QString::fromRawData(reinterpret_cast<const QChar*>(text.data()),
                                               static_cast<qsizetype>(text.size())));
    cursor.endEditBlock();
    QTextBlock block = doc->findBlock(from);
    for (const char16_t c : text) {
        if (c == kBlockBreak) {
            block.setUserState(*soft++ != 0 ? kSoftEnd : kHardEnd);
            block = block.next();
        }
    }
    block.setUserState(lastState);
}

void RunPane::rebuild(std::string_view text) {
    ProgramEdit edit(*this);
    document()->clear();
    m_raw.clear();
    m_rawValid = true;
    m_dirtyFrom = m_dirtyTo = -1;
    m_cutWidth = lineWidth();
    appendTail(text);
}

// The tail goes on with the last block, which is cut again with it; what stays as it was is
// left in place.
void RunPane::appendTail(std::string_view tail) {
    ProgramEdit edit(*this);
    if (!tail.empty()) {
        const QTextBlock last = document()->lastBlock();
        const QString lastText = last.text();
        Cutter cut = cutter();
        for (const QChar c : lastText)
            cut.add(c.unicode());
        // A CR that ended the earlier text has made the break already; its LF adds none.
        cut.add8(tail, !m_raw.empty() && m_raw.back() == '\r' && tail.front() == '\n');
        const auto* old = reinterpret_cast<const char16_t*>(lastText.constData());
        const auto same = static_cast<std::size_t>(
            std::mismatch(old, old + lastText.size(), cut.out.begin(), cut.out.end()).first - old);
        replaceRange(last.position() + static_cast<int>(same), document()->characterCount() - 1,
                     {cut.out.data() + same, cut.out.size() - same}, cut.soft.data(), kHardEnd);
        m_raw.append(tail);
    }
    finishProgramText();
}

// Text from the program leaves the pane unmodified and the caret at its end or start, in view.
void RunPane::finishProgramText() {
    QTextCursor caret(document());
    caret.movePosition(m_followsEnd ? QTextCursor::End : QTextCursor::Start);
    setTextCursor(caret);
    ensureCursorVisible();
    document()->setModified(false);
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
    // Changes that come by mouse or menu are cut again once the event is done; keys do it at once.
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
    const int from = m_dirtyFrom;
    const int to = m_dirtyTo;
    m_dirtyFrom = m_dirtyTo = -1;
    if (m_cutWidth != lineWidth())
        recutAll();
    else
        recut(from, to);
    emit operatorEdited();
}

void RunPane::recutAll() {
    const bool edited = m_dirtyFrom >= 0;
    m_dirtyFrom = m_dirtyTo = -1;
    m_cutWidth = lineWidth();
    recut(0, document()->characterCount() - 1);
    if (edited)
        emit operatorEdited();
}

// Cuts the lines around the operator's change [from, to) again: from the lines before it whose
// end may depend on it, through the change, and on until a soft break behind it falls where it
// fell before (the rest is then cut as it was) or the line ends. The caret keeps its place in the
// text.
void RunPane::recut(int from, int to) {
    QTextDocument* doc = document();
    to = std::clamp(to, 0, doc->characterCount() - 1);
    from = std::clamp(from, 0, to);
    // The line before a changed one ends where a symbol on the changed line did not fit on it,
    // and so may end elsewhere now. When cutting at blanks, that symbol can also stand one line
    // further on (where the word it began was wider than a line), and the same goes for the
    // line before that.
    QTextBlock block = doc->findBlock(from);
    for (int back = m_wrapAtBlanks ? 2 : 1;
         back > 0 && block.previous().isValid() && softAfter(block.previous()); --back)
        block = block.previous();
    const int start = block.position();
    const QTextCursor caret = textCursor();
    std::size_t anchorAt = SIZE_MAX; // the caret's ends as symbols fed
    std::size_t positionAt = SIZE_MAX;

    Cutter cut = cutter();
    std::u16string old; // the document text from start on, as it was
    std::vector<std::pair<std::size_t, int>> oldStarts; // behind the change: symbols fed, position
    std::size_t nextCut = 0;
    std::size_t nextStart = 0;
    std::size_t size = SIZE_MAX; // of the cut text that replaces [start, end)
    int end = -1;
    int lastState = kHardEnd;
    const auto settled = [&] {
        for (; nextCut < cut.cuts.size() && nextStart < oldStarts.size();) {
            const Cutter::Cut& c = cut.cuts[nextCut];
            if (c.input == oldStarts[nextStart].first) {
                end = oldStarts[nextStart].second - 1;
                size = c.out;
                lastState = kSoftEnd;
                return true;
            }
            ++(c.input < oldStarts[nextStart].first ? nextCut : nextStart);
        }
        return false;
    };
    for (;; block = block.next()) {
        const QString text = block.text();
        const int position = block.position();
        const auto note = [&](int p, std::size_t& at) {
            if (at == SIZE_MAX && p >= position && p <= position + text.size())
                at = cut.fed() + static_cast<std::size_t>(p - position);
        };
        note(caret.anchor(), anchorAt);
        note(caret.position(), positionAt);
        old.append(reinterpret_cast<const char16_t*>(text.constData()),
                   static_cast<std::size_t>(text.size()));
        qsizetype i = 0;
        while (i < text.size() && !(text[i] == kLineBreak && position + i >= to))
            cut.add(text[i++].unicode());
        const QTextBlock next = block.next();
        if (i < text.size() || !next.isValid() || (!softAfter(block) && next.position() > to)) {
            end = position + static_cast<int>(i);
            lastState = i < text.size() ? block.userState() : kHardEnd;
            break;
        }
        old.push_back(kBlockBreak);
        if (!softAfter(block))
            cut.add(kBlockBreak);
        else if (next.position() > to)
            oldStarts.emplace_back(cut.fed(), next.position());
        if (settled())
            break;
    }
    size = std::min(size, cut.out.size());
    const auto length = static_cast<std::size_t>(end - start);
    if (size == length &&
        std::equal(old.begin(), old.begin() + static_cast<long>(length), cut.out.begin()))
        return;

    const int delta = static_cast<int>(size) - (end - start);
    const auto place = [&](int p, std::size_t at) {
        if (p > end)
            return p + delta;
        return p < start || at == SIZE_MAX ? p : start + static_cast<int>(cut.placeOf(at));
    };
    const int anchor = place(caret.anchor(), anchorAt);
    const int position = place(caret.position(), positionAt);
    ProgramEdit edit(*this);
    const bool modified = doc->isModified();
    replaceRange(start, end, {cut.out.data(), size}, cut.soft.data(), lastState);
    doc->setModified(modified);
    QTextCursor moved(doc);
    moved.setPosition(anchor);
    moved.setPosition(position, QTextCursor::KeepAnchor);
    setTextCursor(moved);
    ensureCursorVisible();
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
        insertPlainText(QString(QChar(kLineBreak))); // always a hard break, also with Shift
        ensureCursorVisible();
        event->accept();
    } else {
        skipSoftBreak(event);
        QKeyEvent latin(event->type(), event->key(), event->modifiers(), event->nativeScanCode(),
                        event->nativeVirtualKey(), event->nativeModifiers(),
                        latin1Only(event->text()), event->isAutoRepeat(),
                        static_cast<quint16>(event->count()));
        QPlainTextEdit::keyPressEvent(&latin);
        event->setAccepted(latin.isAccepted());
    }
    flushReflow();
}

void RunPane::inputMethodEvent(QInputMethodEvent* event) {
    QInputMethodEvent latin(event->preeditString(), event->attributes());
    latin.setCommitString(latin1Only(event->commitString()), event->replacementStart(),
                          event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&latin);
    event->setAccepted(latin.isAccepted());
    flushReflow();
}

void RunPane::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    if (m_cutWidth != lineWidth())
        recutAll();
}

void RunPane::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::ApplicationFontChange) {
        useFont();
        recutAll();
    }
}

QMimeData* RunPane::createMimeDataFromSelection() const {
    auto* mime = new QMimeData;
    mime->setText(textBetween(textCursor().selectionStart(), textCursor().selectionEnd()));
    return mime;
}

// Pasted and dropped text: characters without a Latin-1 form become '?', and every CR LF, CR or
// LF becomes a hard break.
void RunPane::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText() || isReadOnly())
        return;
    QString text = latin1Only(source->text());
    text.replace(QStringLiteral("\r\n"), QString(QChar(kLineBreak)));
    text.replace(u'\r', QChar(kLineBreak));
    insertPlainText(text.replace(u'\n', QChar(kLineBreak)));
    ensureCursorVisible();
}

} // namespace zelmak
