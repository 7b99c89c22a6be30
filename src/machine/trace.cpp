#include "trace.h"

#include "key_history.h"
#include "machine.h"

namespace zelmak {

namespace {

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
