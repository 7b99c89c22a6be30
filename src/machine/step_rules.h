#pragma once

// The rules that every path of the cipher step shares: the Wrap of the carried index, and the
// stepping of the discs after a key. The checked step (and its trace), the folded step, the text
// feed's runs and the key history's walk back all use these; they are inline templates, so each
// path compiles to the straight-line code it would have if written out by hand.

#include "checked.h"
#include "key_alphabet.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace zelmak {

// The Wrap: brings an index back into 1..31 with at most one correction each way, each checked.
// Of the two corrections at most one applies, and which one is known from the value before
// either: above 31 the first leaves at least 1, so the second is not needed. Both are computed as
// 31 or 0 by masks instead of being jumped to: on real text a correction is needed about half the
// time, and mispredicted jumps cost more than the rest of the step.
inline std::int32_t wrap(std::int32_t v) {
    const std::int32_t down = -static_cast<std::int32_t>(v > kSymbolCount) & kSymbolCount;
    const std::int32_t up = -static_cast<std::int32_t>(v <= 0) & kSymbolCount;
    return checked::add(checked::sub(v, down), up);
}

namespace stepping {

// Position arithmetic: the checked step checks it as it checks every operation; the folded paths
// see positions 0..30 only, where nothing can overflow.
struct Checked {
    static std::int32_t add(std::int32_t a, std::int32_t b) { return checked::add(a, b); }
    static std::int32_t sub(std::int32_t a, std::int32_t b) { return checked::sub(a, b); }
};
struct Plain {
    static constexpr std::int32_t add(std::int32_t a, std::int32_t b) { return a + b; }
    static constexpr std::int32_t sub(std::int32_t a, std::int32_t b) { return a - b; }
};

// One position on: 30 turns to 0. One position back: 0 (or a position never set) turns to 30.
template <typename Ops> constexpr std::int32_t onward(std::int32_t p) {
    return p == kLastPosition ? 0 : Ops::add(p, 1);
}
template <typename Ops> constexpr std::int32_t backward(std::int32_t p) {
    return p <= 0 ? kLastPosition : Ops::sub(p, 1);
}

// A stepping pin: the slot it turns, which way, and the slot whose disc's marks move it (0: it
// turns on every key).
struct Pin {
    int slot;
    bool onward;
    int guide;
};

// The pins in the order they act, the same in both modes. Slots 1 and 2 step on every key, in
// opposite directions; slot 3 steps on when slot 1 arrives on a mark, slot 4 back when slot 2
// does, and slot 5 on while slot 3 stands on one. Each test sees the steps made before it on this
// key, so slot 5 looks at slot 3 whether or not slot 3 has just moved.
inline constexpr std::array<Pin, kSlotCount> kPins{{
    {1, true, 0},
    {2, false, 0},
    {3, true, 1},
    {4, false, 2},
    {5, true, 3},
}};

// One pin, or (back) the same taken back: then it turns its slot the other way, and its guide,
// not yet taken back, stands where the pin's test saw it.
template <Pin pin, bool back, typename Ops, typename At, typename Marked, typename Stepped>
inline void turnPin(At& at, Marked& marked, Stepped& stepped) {
    if constexpr (pin.guide != 0)
        if (!marked(pin.guide, at(pin.guide)))
            return;
    std::int32_t& p = at(pin.slot);
    p = pin.onward != back ? onward<Ops>(p) : backward<Ops>(p);
    stepped(pin.slot);
}

// Every pin in order, or taken back in reverse order; unrolled, so each path gets straight code.
template <bool back, typename Ops, typename At, typename Marked, typename Stepped, std::size_t... I>
inline void turnPins(At& at, Marked& marked, Stepped& stepped, std::index_sequence<I...>) {
    (turnPin<kPins[back ? kPins.size() - 1 - I : I], back, Ops>(at, marked, stepped), ...);
}

// The stepping after a key. at(slot) is the position of slot 1..5 (a reference), marked(guide,
// position) whether the guide's disc has a mark at that position, and stepped(slot) hears of
// every slot that moves, in order.
template <typename Ops, typename At, typename Marked, typename Stepped>
inline void stepOnce(At&& at, Marked&& marked, Stepped&& stepped) {
    turnPins<false, Ops>(at, marked, stepped, std::make_index_sequence<kPins.size()>{});
}

// The stepping after a key taken back: the positions one key earlier, from those after it (0..30).
template <typename At, typename Marked> inline void stepBack(At&& at, Marked&& marked) {
    auto none = [](int) {};
    turnPins<true, Plain>(at, marked, none, std::make_index_sequence<kPins.size()>{});
}

} // namespace stepping

} // namespace zelmak
