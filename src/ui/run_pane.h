#pragma once

#include <QPlainTextEdit>

#include <array>
#include <string>
#include <string_view>

namespace zelmak {

// A text pane for the machine's long runs of symbols without blanks or line breaks.
//
// A plain text edit lays out a paragraph whole, and one long run as one paragraph costs a full
// layout on every key. Here each line of text is cut into blocks that are narrower than the pane
// by a margin: a block ends before its next symbol could bring it within the widest glyph of the
// pane's edge (after the last blank, when lines break at blanks). So the edit never needs to wrap
// a block, the cut never has to agree with the edit's own line breaking, and a new symbol touches
// only the last block. A block that continues its line ends in a soft break, which is no part of
// the text. Short lines share a block (line separators inside it), so that a text of millions of
// empty lines does not make millions of blocks.
//
// Texts are 8-bit (Latin-1 bytes). CR LF, a lone CR and a lone LF each make one hard line break;
// text8() gives hard breaks as CR LF and leaves soft breaks out, as copying does. The operator may
// edit the pane as usual (undo is off); the lines around an edit are cut again at once.
// toPlainText() is not the pane's text.
class RunPane : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit RunPane(QWidget* parent = nullptr);

    // Afterwards the pane holds exactly this text, with no line break after it. When the pane
    // still holds what the program last gave it and that is a prefix of the text, only the tail
    // is added; when the text is a prefix of it, cut anywhere, only the tail is removed (a key
    // taken back).
    void showText(std::string_view text);
    // Adds a line, as to a memo: the text becomes the old text, the line and CR LF. After text
    // that does not end in a line break, a CR LF comes first.
    void appendLine(std::string_view line);
    void clearText();
    // The text: hard line breaks as CR LF, soft breaks left out.
    std::string text8() const;

    // Whether lines break after blanks rather than anywhere; a word longer than a line is still
    // cut anywhere. Off by default.
    void setWrapAtBlanks(bool wrap);
    bool wrapAtBlanks() const { return m_wrapAtBlanks; }

    // Whether Enter and Return make a line break; when not, the keys are passed on.
    void setAcceptsReturn(bool accepts) { m_acceptsReturn = accepts; }
    bool acceptsReturn() const { return m_acceptsReturn; }

    // Whether text from the program leaves the caret at its end, in view (a running output), or
    // at its start with the first line in view (a text to be read). On by default.
    void setFollowsEnd(bool follows) { m_followsEnd = follows; }
    bool followsEnd() const { return m_followsEnd; }

signals:
    // The operator changed the text. Never emitted for text set by the program.
    void operatorEdited();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    struct ProgramEdit;
    class Cutter;

    QString textBetween(int from, int to) const;
    void useFont();
    double lineWidth() const;
    Cutter cutter() const;
    void replaceRange(int from, int to, std::u16string_view text, const char* soft, int lastState);
    void rebuild(std::string_view text);
    void appendTail(std::string_view tail);
    bool dropTail(std::string_view text);
    void finishProgramText();
    void noteChange(int from, int removed, int added);
    void flushReflow();
    void recutAll();
    void recut(int from, int to);
    bool skipSoftBreak(QKeyEvent* event);

    std::array<double, 256> m_need{}; // width a symbol may take, with its ink
    double m_widest = 0;
    std::string m_raw;      // the text the program last gave, while the pane still shows it
    bool m_rawValid = true; // false after the operator's edits
    bool m_acceptsReturn = true;
    bool m_wrapAtBlanks = false;
    bool m_followsEnd = true;
    bool m_programEdit = false;
    bool m_flushQueued = false;
    int m_dirtyFrom = -1; // document range changed by the operator and not yet cut again
    int m_dirtyTo = -1;
    double m_cutWidth = -1; // line width the blocks were cut for
};

} // namespace zelmak
