#pragma once

#include <QPlainTextEdit>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zelmak {

// A text pane for the machine's long runs of symbols without blanks or line breaks.
//
// A plain text edit lays out a paragraph whole, so a run of 100,000 symbols costs a full layout
// on every key. Here a logical line is cut into blocks that each fill exactly one visual line
// of the pane (measured from the font's advances, the way the layout wraps anywhere), and a block
// that continues its line is marked as ending in a soft break. The edit lays out only the visible
// blocks, and a new symbol touches only the last block.
//
// Ordinary texts may instead break at blanks, as a memo does (setWrapAtBlanks): then a block ends
// where the layout would end the line at a word boundary, and an edit or an appended symbol may
// move words between blocks, so the blocks are re-cut until the cut settles again.
//
// Texts are 8-bit (Latin-1 bytes). CR LF, a lone CR and a lone LF each make one hard line break;
// text8() gives hard breaks as CR LF and leaves soft breaks out. The operator may edit the pane as
// usual (undo is off); the blocks are re-cut after each edit. toPlainText() still shows the soft
// breaks and is not the pane's text.
class RunPane : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit RunPane(QWidget* parent = nullptr);
    ~RunPane() override;

    // Afterwards the pane holds exactly this text, with no line break after it. When the pane
    // still holds what the program last gave it and that is a prefix of the text, only the tail
    // is added.
    void showText(std::string_view text);
    // Adds a line, as to a memo: the text becomes the old text, the line and CR LF. After text
    // that does not end in a line break, a CR LF comes first.
    void appendLine(std::string_view line);
    void clearText();
    // The logical text: hard line breaks as CR LF, soft breaks left out.
    std::string text8() const;

    // Whether lines break after blanks, where a word ends, rather than anywhere; a word longer
    // than a whole line is still cut anywhere. Off by default.
    void setWrapAtBlanks(bool wrap);
    bool wrapAtBlanks() const { return m_wrapAtBlanks; }

    // Whether Enter and Return make a line break; when not, the keys are passed on.
    void setAcceptsReturn(bool accepts) { m_acceptsReturn = accepts; }
    bool acceptsReturn() const { return m_acceptsReturn; }

signals:
    // The operator changed the text. Never emitted for text set by the program.
    void operatorEdited();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    struct Metrics;
    class ProgramEdit;
    // Document text for a run of 8-bit text: block separators for the breaks, and one flag per
    // separator telling whether it is soft.
    struct Cut {
        std::vector<char16_t> text;
        std::vector<char> soft;
    };
    enum class Caret { ToEnd, Keep };

    const Metrics& metrics() const;
    void useFont();
    double currentLineWidth() const;
    void cutText(std::string_view text, const QString& lineSoFar, bool skipFirstLf, Cut& cut) const;
    void replaceRange(int from, int to, const Cut& cut, int lastState);
    void rebuild(std::string_view text, Caret caret);
    void appendTail(std::string_view tail);
    void finishProgramText();
    void resplit();
    void noteChange(int from, int removed, int added);
    void flushReflow();
    void reflow(int from, int to);
    void replaceKeepingCaret(int start, int end, const Cut& cut, int lastState, int anchorLogical,
                             int positionLogical);
    // Cutting at blanks (run_pane_words.cpp).
    void cutWords(std::string_view text, Cut& cut) const;
    void appendWords(std::string_view tail, bool skipFirstLf);
    void reflowWords(int from, int to);
    int softBreaksBefore(int position) const;
    int positionOfLogical(int logical) const;
    bool skipSoftBreak(QKeyEvent* event);

    std::unique_ptr<Metrics> m_metrics;
    std::string m_raw;      // the text the program last gave, while the pane still shows it
    bool m_rawValid = true; // false after the operator's edits
    bool m_acceptsReturn = true;
    bool m_wrapAtBlanks = false;
    bool m_programEdit = false;
    bool m_flushQueued = false;
    int m_dirtyFrom = -1; // document range changed by the operator and not yet re-cut
    int m_dirtyTo = -1;
    double m_cutWidth = -1; // line width the blocks were cut for
};

} // namespace zelmak
