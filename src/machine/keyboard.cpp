#include "machine.h"

namespace zelmak {

void TextIO(MachineState& m) {
    Rotation(m);
    m.outputText.push_back(outputSymbol(m.workIndex, m.mode));
}

void enterKey(MachineState& m, int keyIndex, char keyLetter) {
    m.keyLetter.assign(1, keyLetter);
    m.keyIndex = keyIndex;
    m.inputText.push_back(keyLetter);
}

void pressKey(MachineState& m, int keyIndex, char keyLetter) {
    if (!m.ready())
        return;
    enterKey(m, keyIndex, keyLetter);
    TextIO(m);
}

} // namespace zelmak
