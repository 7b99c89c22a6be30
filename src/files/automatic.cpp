#include "automatic.h"

#include "machine/machine.h"
#include "machine/text_feed.h"

#include <string>

namespace zelmak {

void runAutomatic(MachineState& m, Window& w) {
    if (!m.ready())
        return;
    m.inputText.clear();
    m.outputText.clear();
    w.clearPane(Pane::Eingabe);
    w.clearPane(Pane::Ausgabe);
    const std::string text = w.paneText(Pane::Lade);
    try {
        feedText(m, w, text);
    } catch (...) {
        // What was keyed before the failing character stays processed and shown.
        showTexts(m, w);
        throw;
    }
    showTexts(m, w);
}

} // namespace zelmak
