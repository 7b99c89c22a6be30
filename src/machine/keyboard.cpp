#include "machine.h"

namespace zelmak {

void TextIO(MachineState& m, Window& w, PaneRefresh refresh) {
    if (refresh == PaneRefresh::Now)
        w.showText(Pane::Eingabe, m.inputText);
    Rotation(m, w);
    m.outputText.push_back(m.outputAlphabet[m.workIndex]);
    if (refresh == PaneRefresh::Now)
        w.showText(Pane::Ausgabe, m.outputText);
}

void showTexts(const MachineState& m, Window& w) {
    w.showText(Pane::Eingabe, m.inputText);
    w.showText(Pane::Ausgabe, m.outputText);
}

void pressKey(MachineState& m, Window& w, int keyIndex, char keyLetter) {
    if (!m.ready())
        return;
    m.keyLetter.assign(1, keyLetter);
    m.keyIndex = keyIndex;
    m.inputText += m.keyLetter;
    TextIO(m, w);
}

void selectDecipher(Window& w) {
    w.setEnabled(Control::Button32, false);
    w.setEnabled(Control::Button34, true);
}

void selectCipher(Window& w) {
    w.setEnabled(Control::Button32, true);
    w.setEnabled(Control::Button34, false);
}

void clearAll(MachineState& m, Window& w) {
    m.inputText.clear();
    m.outputText.clear();
    w.clearPane(Pane::Eingabe);
    w.clearPane(Pane::Ausgabe);
    w.clearPane(Pane::Lade);
}

} // namespace zelmak
