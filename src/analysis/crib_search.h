#pragma once

// The crib search. For each hypothesis (offset, disc order, positions) the crib's pairs
// P(c) = D(P(p)) are walked from a guess of one card value, all 31 guesses at once; loops in the
// pairs' graph kill the wrong ones. Survivors fix the card values the graph reaches and are
// ranked by the language score of the message they reveal.

#include "candidates.h"
#include "work.h"

#include <array>
#include <optional>
#include <vector>

namespace zelmak::analysis {

struct CribQuery {
    std::vector<Symbol> message;
    std::vector<Symbol> crib;
    int firstOffset = 0; // the crib's first symbol stands at one of these message symbols
    int lastOffset = 0;
    std::vector<DiscOrder> orders; // empty: all 120
    std::optional<Card> card;      // known (a key file): only positions are searched
    std::array<int, kSlotCount> start{-1, -1, -1, -1, -1}; // known start positions, -1 unknown
    std::size_t top = 10;
};

// What the crib's graph promises, before a search starts.
struct CribFacts {
    int symbols = 0;    // symbols the pairs join
    int components = 0; // separate parts of the graph
    int loops = 0;      // independent loops over all parts
    std::uint64_t hypotheses = 0;
    // The wrong hypotheses expected to survive the walk (they are then ranked by the language).
    double falseSurvivors = 0;
};

// Throws InputError for a query that cannot be searched: an empty message or crib, a crib longer
// than the message, an offset out of range, top 0.
void checkQuery(const CribQuery& query);
CribFacts cribFacts(const CribQuery& query);
SearchResult cribSearch(const CribQuery& query, const LanguageModel& model,
                        const RunOptions& options);

// Which vector code the walk runs on this processor ("avx512vbmi", "avx2" or "plain"); the
// environment variable ZELMAK_BREAK_KERNEL=plain|avx2 asks for a lesser one (for measurements).
const char* cribKernelName();

} // namespace zelmak::analysis
