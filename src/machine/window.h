#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelmak {

// Controls whose enabled state the logic changes.
enum class Control {
    Button32, // the on-screen space bar
    Button34, // the Y key
    Button35, // "Save CipherCode"
    Button37, // "Save Cipher"
    Button38, // "Check Cipher"
    Button40, // "Loade CipherCode"
    Button41, // "Automatic"
    Eingabe,  // input pane
    Ausgabe,  // output pane
};

enum class Pane {
    Eingabe, // input
    Ausgabe, // output
    Lade,    // loaded text
};

// The operations the main window offers the logic, and nothing more. The Qt window implements
// them with real controls; PlainWindow holds them in plain fields for the command-line program
// and for tests. Texts are 8-bit strings, one byte per character.
//
// Selector item indexes are signed: -1 means nothing is selected. Setting an index outside the
// selector's list leaves it blank (-1). Setting a selection from the program never runs the
// selector's handler.
class Window {
public:
    virtual ~Window() = default;

    // Card selector k (ComboBox1..ComboBox31): item 0 is empty, items 1..31 are KeyAlphabet.
    virtual int cardItem(int k) const = 0;
    virtual void setCardItem(int k, int item) = 0;

    // Disc-number selector s (ComboBoxS1..ComboBoxS5): items "1".."5".
    virtual int discItem(int s) const = 0;
    virtual void setDiscItem(int s, int item) = 0;

    // Position selector s (ComboBoxSS1..ComboBoxSS5): KeyAlphabet at items 0..30.
    virtual int position(int s) const = 0;
    virtual void setPosition(int s, int item) = 0;

    // Whether "Cipher" (RadioButton2) is checked; otherwise the machine deciphers.
    virtual bool cipherMode() const = 0;

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

    // The file dialogs. Each returns the chosen path, or nothing when the operator cancels.
    virtual std::optional<std::string> runOpenDialog(std::string_view filter) = 0;
    // The save dialog asks before replacing an existing file, unless the caller asks itself
    // because it will write under another name than the one chosen (askBeforeReplacing false).
    virtual std::optional<std::string> runSaveDialog(std::string_view filter,
                                                     std::string_view proposedName,
                                                     bool askBeforeReplacing) = 0;
    // Asks the operator whether the existing file `path` may be replaced.
    virtual bool confirmReplace(std::string_view path) = 0;
};

} // namespace zelmak
