#pragma once

#include <QPlainTextEdit>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelmak {

// A text pane for the machine's long runs of symbols without blanks or line breaks.
//
// A plain text edit lays out a paragraph whole, and one long run as one paragraph costs a full
// layout on every key; a block for every line costs the document dearly on long texts. So the
// pane keeps the text itself and shows it cut into lines that are narrower than the pane by a
// margin: a line ends before its next symbol could come within the widest glyph of the pane's
// edge (after the last blank, when lines break at blanks). The edit never needs to wrap a line,
// and the cut never has to agree with its own line breaking. A line that goes on in the next line
// ends in a soft break, which is no part of the text. Lines go some hundred characters to a
// block, so that a key lays out only the last block and a long text makes few blocks.
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
    // The same for a change the operator makes by other means than typing (the pane's own undo):
    // reported as the operator's edit.
    void showEditedText(std::string_view text);
    // Adds a line, as to a memo: the text becomes the old text, the line and CR LF. After text
    // that does not end in a line break, a CR LF comes first.
    void appendLine(std::string_view line);
    void clearText();
    // The text: hard line breaks as CR LF, soft breaks left out.
    std::string text8() const;
    // Puts the caret, in view, before the byte at this offset of text8() (before the break when
    // the offset falls within a CR LF, at the end when it is past it).
    void placeCaret(std::size_t offset);

    // Whether the character at this place of the document is a soft break.
    bool isSoftBreak(int position) const {
        return std::binary_search(m_soft.begin(), m_soft.end(), position);
    }

    // Whether lines break after blanks rather than anywhere; a word longer than a line is still
    // cut anywhere. Off by default.
    void setWrapAtBlanks(bool wrap);
    bool wrapAtBlanks() const { return m_wrapAtBlanks; }

    // Whether Enter and Return make a line break; when not, the keys are passed on.
    void setAcceptsReturn(bool accepts) { m_acceptsReturn = accepts; }

    // Whether text from the program leaves the caret at its end, in view (a running output), or
    // at its start with the first line in view (a text to be read). On by default.
    void setFollowsEnd(bool follows) { m_followsEnd = follows; }

signals:
    // The operator changed the text. Never emitted for text set by the program.
    void operatorEdited();
    // The program gave the pane its text (showText, appendLine, clearText).
    void textGiven();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct ProgramEdit;
    static constexpr std::size_t kClean = SIZE_MAX;
    class Cutter;

    void useFont();
    double lineWidth() const;
    Cutter cutter(std::size_t filled) const;
    std::size_t textIndex(int position) const;
    int position(std::size_t index) const;
    int lineStart(int position) const;
    void giveText(std::string_view text);
    void replaceRange(int from, int to, std::u16string_view text);
    void rebuild(std::string_view text);
    void appendTail(std::string_view tail);
    void cutFrom(int start, std::size_t changedEnd);
    void noteChange(int from, int removed, int added);
    void recut(bool all = false);
    bool skipSoftBreak(QKeyEvent* event);

    std::array<double, 256> m_need{}; // width a symbol may take, with its ink
    double m_widest = 0;
    std::string m_text;      // the text, every hard line break as one LF
    std::vector<int> m_soft; // the places of the soft breaks in the document, ascending
    bool m_given = true;     // m_text is byte for byte the text the program last gave
    bool m_acceptsReturn = true;
    bool m_wrapAtBlanks = false;
    bool m_followsEnd = true;
    bool m_programEdit = false;
    bool m_inputMethod = false; // the change comes from an input method
    bool m_flushQueued = false;
    std::size_t m_dirtyFrom = kClean; // range of m_text changed by the operator, not yet cut again
    std::size_t m_dirtyTo = kClean;
    double m_cutWidth = -1; // line width the blocks were cut for
};

} // namespace zelmak
