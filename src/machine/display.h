#pragma once

#include <string>
#include <string_view>

namespace zelmak {

// Controls whose enabled state the logic changes, by role; the window's name in the comment.
enum class Control {
    SpaceBar,       // Button32
    YKey,           // Button34
    SaveCipherCode, // Button35
    SaveCipher,     // Button37
    CheckCipher,    // Button38
    LoadCipherCode, // Button40
    Automatic,      // Button41
    InputPane,      // Eingabe
    OutputPane,     // Ausgabe
};

enum class Pane {
    Input,  // Eingabe
    Output, // Ausgabe
    Loaded, // lade
};

// What the machine shows and enables: the three text panes and the enabled state of the controls
// that depend on the setting. Texts are 8-bit strings, one byte per character.
class Display {
public:
    virtual ~Display() = default;

    virtual void setEnabled(Control control, bool enabled) = 0;

    // Removes all text of a pane.
    virtual void clearPane(Pane pane) = 0;
    // Adds a line: the text followed by a line break (CR LF), on a line of its own (after a
    // line break first when the pane's last line has none).
    virtual void appendLine(Pane pane, std::string_view line) = 0;
    // Rewrites a pane whole: afterwards it holds exactly this text, with no line break after it.
    virtual void showText(Pane pane, std::string_view text) = 0;
    // The whole text of a pane, its lines joined by CR LF.
    virtual std::string paneText(Pane pane) const = 0;
};

} // namespace zelmak
