#pragma once

// The start search, from the cipher text alone: the card and the disc order are known (the day's
// key sheet is at hand), the message's start positions are not. Every start is keyed back and
// scored by the language model; hopeless ones are left after a few symbols.

#include "candidates.h"
#include "work.h"

#include <array>
#include <optional>
#include <vector>

namespace zelmak::analysis {

struct StartQuery {
    std::vector<Symbol> message;
    Card card{};                   // complete
    std::vector<DiscOrder> orders; // empty: all 120
    std::size_t top = 10;
    // Start positions already known, slot by slot (-1: any): only starts that agree are tried.
    std::array<int, kSlotCount> known{-1, -1, -1, -1, -1};
};

// Throws InputError for a query that cannot be searched (an empty message, an incomplete card,
// top 0, a known position out of range).
SearchResult startSearch(const StartQuery& query, const LanguageModel& model,
                         const RunOptions& options);

} // namespace zelmak::analysis
