#include "machine.h"

namespace zelmak {

void runKey(MachineState& m) {
    Rotation(m);
    m.outputText.push_back(outputSymbol(m.workIndex, m.mode));
}

void TextIO(MachineState& m, Display& d) {
    d.showText(Pane::Input, m.inputText);
    runKey(m);
    d.showText(Pane::Output, m.outputText);
}

void showTexts(const MachineState& m, Display& d) {
    d.showText(Pane::Input, m.inputText);
    d.showText(Pane::Output, m.outputText);
}

void enterKey(MachineState& m, int keyIndex, char keyLetter) {
    m.keyLetter.assign(1, keyLetter);
    m.keyIndex = keyIndex;
    m.inputText.push_back(keyLetter);
}

void pressKey(MachineState& m, Display& d, int keyIndex, char keyLetter) {
    if (!m.ready())
        return;
    enterKey(m, keyIndex, keyLetter);
    TextIO(m, d);
}

void selectDecipher(MachineState& m, Display& d) {
    m.mode = Mode::Decipher;
    d.setEnabled(Control::SpaceBar, false);
    d.setEnabled(Control::YKey, true);
}

void selectCipher(MachineState& m, Display& d) {
    m.mode = Mode::Cipher;
    d.setEnabled(Control::SpaceBar, true);
    d.setEnabled(Control::YKey, false);
}

void clearAll(MachineState& m, Display& d) {
    m.inputText.clear();
    m.outputText.clear();
    d.clearPane(Pane::Input);
    d.clearPane(Pane::Output);
    d.clearPane(Pane::Loaded);
}

} // namespace zelmak
