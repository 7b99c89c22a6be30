#pragma once

// The cipher step through the folded tables, as Rotation takes it; the text feed folds the card
// and slots 1 and 2 further for each run. Only for a machine whose folded tables fit its key
// setting, with positions in 0..30 and an index in 1..31 coming from the card: then no lookup can
// leave its table and nothing needs a check.

#include "machine_state.h"

#include <algorithm>

namespace zelmak::folded {

// Whether the folded tables hold for this machine's key setting and positions.
inline bool applies(const MachineState& m) {
    const auto& p = m.positions.raw();
    const std::uint32_t highest = std::max(
        {static_cast<std::uint32_t>(p[0]), static_cast<std::uint32_t>(p[1]),
         static_cast<std::uint32_t>(p[2]), static_cast<std::uint32_t>(p[3]),
         static_cast<std::uint32_t>(p[4])}); // an unset position (-1) is the highest of all
    return highest <= 30u && m.folded.fits(m.key);
}

// One key: index v (1..31, after the card) through discs 1..4, the turn at slot 5 and back;
// then the discs step. Returns the index before the inverse card (1..31).
inline std::size_t step(const FoldedStages& f, Mode mode, std::int32_t (&pos)[5], std::size_t v) {
    const std::size_t r1 = FoldedStages::row(mode, 1, pos[0]);
    const std::size_t r2 = FoldedStages::row(mode, 2, pos[1]);
    const std::size_t r3 = FoldedStages::row(mode, 3, pos[2]);
    const std::size_t r4 = FoldedStages::row(mode, 4, pos[3]);
    const std::size_t r5 = FoldedStages::turnRow(mode, pos[4]);
    v = f.forward[r1 + v];
    v = f.forward[r2 + v];
    v = f.forward[r3 + v];
    v = f.forward[r4 + v];
    v = f.turn[r5 + v];
    v = f.backward[r4 + v];
    v = f.backward[r3 + v];
    v = f.backward[r2 + v];
    v = f.backward[r1 + v];

    // Stepping, as in the checked step; the marks of the discs in slots 1..3 are bit sets.
    pos[0] = pos[0] == 30 ? 0 : pos[0] + 1;
    pos[1] = pos[1] == 0 ? 30 : pos[1] - 1;
    if ((f.marks[1] >> pos[0]) & 1u)
        pos[2] = pos[2] == 30 ? 0 : pos[2] + 1;
    if ((f.marks[2] >> pos[1]) & 1u)
        pos[3] = pos[3] == 0 ? 30 : pos[3] - 1;
    if ((f.marks[3] >> pos[2]) & 1u)
        pos[4] = pos[4] == 30 ? 0 : pos[4] + 1;
    return v;
}

} // namespace zelmak::folded
