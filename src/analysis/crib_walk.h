#pragma once

// The walk of a crib's pairs for one disc order, one offset and positions p1, p2 of slots 1 and 2
// at the crib's first key, over all 29,791 positions of slots 3 to 5: the inner loop of the crib
// search, compiled once for each kind of vector unit.
//
// Only plain data crosses this boundary: the walk's files are compiled with different processor
// options, and anything inline they shared with the rest of the program (a standard container's
// members, say) could be taken from the wrong one by the linker.

#include <cstdint>

namespace zelmak::analysis::walk {

inline constexpr int kMaxSteps = 64; // pairs of the crib that the walk uses
inline constexpr int kMaxSymbols = 32;
inline constexpr std::uint32_t kAllGuesses = 0x7FFFFFFFu;

// One pair of the crib, as the walk takes it: the card value of symbol `to` from that of `from`,
// through the key's map (D, or its inverse when the pair is walked from its cipher end). A check
// compares with the value `to` already has and drops the guesses that disagree.
struct Step {
    std::uint8_t from;
    std::uint8_t to;
    std::uint8_t check;
    std::uint8_t pad;
};

struct Task {
    int steps = 0;
    std::uint8_t start = 0;              // the symbol whose 31 guesses are the lanes
    std::uint32_t guesses = kAllGuesses; // the guesses worth walking (bit g: value g)
    Step step[kMaxSteps];
    // Rows of 32 bytes, per step: before and after the inner discs (slots 1 and 2 at this key).
    const std::uint8_t* first[kMaxSteps];
    const std::uint8_t* last[kMaxSteps];
    // The inner tables (slots 3 to 5 and the reflector), D's or the inverse's, per step.
    const std::uint8_t* inner[kMaxSteps];
    // How far slot 4 turned back before the step's key; per position of slot 3, how far slots 3
    // and 5 turned on.
    std::uint8_t turned4[kMaxSteps];
    std::uint8_t turned3[31][kMaxSteps];
    std::uint8_t turned5[31][kMaxSteps];
};

// A hypothesis that lived: the positions of slots 3..5 as one index (p3 * 961 + p4 * 31 + p5),
// and the guesses of the start symbol's card value that lived (bit g: value g).
struct Survivor {
    std::uint32_t inner;
    std::uint32_t guesses;
};

// Walks all 29,791 hypotheses; writes the survivors (at most 29,791) and returns their count.
using WalkFunction = std::uint32_t (*)(const Task& task, Survivor* survivors);

std::uint32_t walkPlain(const Task& task, Survivor* survivors);
#if defined(__x86_64__)
std::uint32_t walkAvx2(const Task& task, Survivor* survivors);
std::uint32_t walkAvx512(const Task& task, Survivor* survivors);
#endif

} // namespace zelmak::analysis::walk
