#include "trace.h"

#include "key_history.h"

namespace zelmak {

namespace {

// The setting and tables of a machine, without its texts (which may be long and play no part).
MachineState settingOf(const MachineState& machine) {
    MachineState m;
    m.key = machine.key;
    m.cardTable = machine.cardTable;
    m.cardTableInverse = machine.cardTableInverse;
    m.pinTable = machine.pinTable;
    m.discWiring = machine.discWiring;
    m.discWiringInverse = machine.discWiringInverse;
    m.outputAlphabet = machine.outputAlphabet;
    m.folded = machine.folded;
    m.cardReady = machine.cardReady;
    m.discReady = machine.discReady;
    return m;
}

KeyTrace traceOn(MachineState& scratch, const KeyAt& key) {
    scratch.positions = key.before;
    scratch.mode = key.mode;
    scratch.keyIndex = key.keyIndex;
    scratch.keyLetter.assign(1, key.letter);
    return traceRotation(scratch);
}

} // namespace

KeyTrace traceKey(const MachineState& m, const KeyAt& key) {
    MachineState scratch = settingOf(m);
    return traceOn(scratch, key);
}

std::vector<KeyTrace> traceKeys(const MachineState& m, const std::vector<KeyAt>& keys) {
    std::vector<KeyTrace> traces;
    traces.reserve(keys.size());
    MachineState scratch = settingOf(m);
    for (const KeyAt& key : keys)
        traces.push_back(traceOn(scratch, key));
    return traces;
}

} // namespace zelmak
