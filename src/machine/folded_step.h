#pragma once

// The cipher step through the folded tables, as Rotation takes it; the text feed folds the card
// and slots 1 and 2 further for each run. Only for a machine whose folded tables fit its key
// setting, with positions in 0..30 and an index in 1..31 coming from the card: then no lookup can
// leave its table and nothing needs a check.

#include "machine_state.h"
#include "step_rules.h"

#include <algorithm>

namespace zelmak::folded {

// Whether the folded tables hold for this machine's key setting and positions.
inline bool applies(const MachineState& m) {
    const auto& p = m.positions.raw();
    const std::uint32_t highest = std::max(
        {static_cast<std::uint32_t>(p[0]), static_cast<std::uint32_t>(p[1]),
         static_cast<std::uint32_t>(p[2]), static_cast<std::uint32_t>(p[3]),
         static_cast<std::uint32_t>(p[4])}); // an unset position (-1) is the highest of all
    return highest <= static_cast<std::uint32_t>(kLastPosition) && m.folded.fits(m.key);
}

// One key: index v (1..31, after the card) through discs 1..4, the turn at slot 5 and back;
// then the discs step. Returns the index before the inverse card (1..31).
inline std::size_t step(const FoldedStages& f, Mode mode, std::int32_t (&pos)[kSlotCount],
                        std::size_t v) {
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

    // The marks of the discs in slots 1..3 are bit sets here.
    const auto marked = [&f](int guide, std::int32_t p) {
        return ((f.marks[static_cast<std::size_t>(guide)] >> p) & 1u) != 0;
    };
    stepping::stepOnce<stepping::Plain>([&pos](int slot) -> std::int32_t& { return pos[slot - 1]; },
                                        marked, [](int) {});
    return v;
}

} // namespace zelmak::folded
