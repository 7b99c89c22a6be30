#include "session_rig.h"

#include <algorithm>

namespace zelmak::test {

KeyRecordBytes recordOf(std::string_view bytes) {
    KeyRecordBytes record{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), record.size()), record.begin());
    return record;
}

std::string serviceRecordBytes() {
    std::string bytes;
    for (int k = 1; k <= kSymbolCount; ++k)
        bytes.push_back(static_cast<char>(k));
    for (int s = 0; s < 5; ++s)
        bytes.push_back(static_cast<char>(s));
    return bytes;
}

std::string reversedRecordBytes() {
    std::string bytes = serviceRecordBytes();
    std::reverse(bytes.begin(), bytes.begin() + kSymbolCount);
    std::reverse(bytes.begin() + kSymbolCount, bytes.end());
    return bytes;
}

Snapshot snapshotOf(const SessionRig& rig) {
    const MachineState& m = rig.machine();
    return {rig.view.panes,
            rig.view.shownDraft,
            rig.view.positions,
            rig.view.mode,
            rig.view.enabledStates,
            rig.view.checkValue,
            m.key.bytes(),
            m.cardReady,
            m.discReady,
            m.cardErrorCount,
            m.inputText,
            m.outputText,
            rig.session.history().undoDepth(m)};
}

void PrintTo(const Snapshot& s, std::ostream* os) {
    *os << "flags " << int(s.cardReady) << int(s.discReady) << ", card";
    for (int k = 1; k <= kSymbolCount; ++k)
        *os << ' ' << s.draft.cardItem(k);
    *os << ", discs";
    for (int d = 1; d <= 5; ++d)
        *os << ' ' << s.draft.discItem(d);
    *os << ", enabled";
    for (const bool on : s.enabled)
        *os << ' ' << on;
    *os << ", output pane \"" << s.panes[static_cast<std::size_t>(Pane::Output)]
        << "\", undo depth " << s.undoDepth;
}

} // namespace zelmak::test
