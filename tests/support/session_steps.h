#pragma once

// Steps of the operator that the session tests and the fuzz targets share, beyond those of the
// rig: typing into a pane, and a "Random Cipher" that draws a chosen setting.

#include "session_rig.h"

#include <cstdint>
#include <deque>
#include <string>

namespace zelmak::test {

// The operator types the text into a pane: the pane shows it, and the session is told.
inline void typeInto(SessionRig& rig, Pane pane, std::string text) {
    rig.view.panes[static_cast<std::size_t>(pane)] = text;
    rig.session.editPane(pane, std::move(text));
}

// The numbers that make "Random Cipher" draw this record: each card byte, then each disc byte
// + 1 (a record whose card and discs are permutations draws nothing twice).
inline std::deque<std::int32_t> drawsOf(const KeyRecordBytes& record) {
    std::deque<std::int32_t> draws(record.begin(), record.end());
    for (std::size_t s = kCardBytes; s < kKeyRecordSize; ++s)
        ++draws[s];
    return draws;
}

// "Random Cipher", drawing this record into the selectors.
inline void drawSetting(SessionRig& rig, const KeyRecordBytes& record) {
    rig.random = ScriptedRandomSource(drawsOf(record));
    rig.session.randomCipher();
}

} // namespace zelmak::test
