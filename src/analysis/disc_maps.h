#pragma once

// The machine's map of one key in Cipher mode with the card left out: D(x) for a symbol x that
// the card has already turned, the index before the inverse card. For a message keyed with card
// P, every key satisfies P(c) = D(P(p)), so the card is the same unknown at both ends.
//
// D is split where the discs move: slots 1 and 2 turn on every key, slots 3 to 5 seldom. So
// D = back(p1, p2) . inner(p3, p4, p5) . fore(p1, p2), three lookups in tables built once per
// disc order, and the same for the inverse. Each table row is 32 bytes (entry 31 maps to itself),
// so that one byte shuffle applies it to a vector of guesses.

#include "symbols.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zelmak::analysis {

struct alignas(32) Row {
    std::array<Symbol, 32> to;
    Symbol operator[](std::size_t x) const { return to[x]; }
};

inline constexpr std::size_t kPositions = kSymbolCount; // 31 positions a slot
inline constexpr std::size_t kOuterRows = kPositions * kPositions;
inline constexpr std::size_t kInnerRows = kPositions * kPositions * kPositions;

constexpr std::size_t outerIndex(int p1, int p2) {
    return static_cast<std::size_t>(p1) * kPositions + static_cast<std::size_t>(p2);
}
constexpr std::size_t innerIndex(int p3, int p4, int p5) {
    return (static_cast<std::size_t>(p3) * kPositions + static_cast<std::size_t>(p4)) * kPositions +
           static_cast<std::size_t>(p5);
}

class DiscMaps {
public:
    explicit DiscMaps(const DiscOrder& order);

    const DiscOrder& order() const { return order_; }

    const Row& fore(std::size_t outer) const { return fore_[outer]; }
    const Row& back(std::size_t outer) const { return back_[outer]; }
    const Row& inner(std::size_t inner) const { return inner_[inner]; }
    const Row& foreInverse(std::size_t outer) const { return foreInverse_[outer]; }
    const Row& backInverse(std::size_t outer) const { return backInverse_[outer]; }
    const Row& innerInverse(std::size_t inner) const { return innerInverse_[inner]; }

    // D and its inverse at the positions of one key.
    Symbol encipher(const DiscPositions& at, Symbol x) const;
    Symbol decipher(const DiscPositions& at, Symbol y) const;

    // The positions after one key, and before it: the machine's own stepping.
    void step(DiscPositions& at) const;
    void stepBack(DiscPositions& at) const;
    // Whether the disc in slot 1..3 has a stepping mark at position p.
    bool marked(int slot, int p) const {
        return ((marks_[static_cast<std::size_t>(slot)] >> p) & 1u) != 0;
    }

private:
    DiscOrder order_;
    std::vector<Row> fore_, back_, foreInverse_, backInverse_;
    std::vector<Row> inner_, innerInverse_;
    std::array<std::uint32_t, 4> marks_{};
};

// How far slots 3, 4 and 5 have turned after each of n keys from positions p1, p2, p3 (slots 4
// and 5 guide nothing, so their own positions do not matter): turned3[j] steps on of slot 3 before
// key j, turned4[j] steps back of slot 4, turned5[j] steps on of slot 5. turned*[0] is 0.
struct SlowTurns {
    std::vector<std::uint8_t> turned3, turned4, turned5;
};
SlowTurns slowTurns(const DiscMaps& maps, int p1, int p2, int p3, std::size_t keys);

// The positions of key j from those of key 0 and the turns: (p + k) mod 31 without a division.
constexpr int turnOn(int p, int k) {
    const int v = p + k;
    return v >= kSymbolCount ? v - kSymbolCount : v;
}
constexpr int turnBack(int p, int k) {
    const int v = p - k;
    return v < 0 ? v + kSymbolCount : v;
}

// The positions of key `keys` when key 0 stood at `start`, and the other way round.
DiscPositions positionsAfter(const DiscMaps& maps, DiscPositions start, std::size_t keys);
DiscPositions positionsBefore(const DiscMaps& maps, DiscPositions later, std::size_t keys);

} // namespace zelmak::analysis
