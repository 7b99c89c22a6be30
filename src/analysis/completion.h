#pragma once

// Card completion: a crib fixes the card entries its pairs reach; the others are found by hill
// climbing over the whole message with the language model, swapping the values of unfixed
// entries, from a few starts.

#include "candidates.h"
#include "work.h"

namespace zelmak::analysis {

struct CompletionOptions {
    int restarts = 6;
    std::uint64_t seed = 1; // the same seed, the same card
};

// The candidate with every card entry filled; the entries it had stay. Progress counts restarts;
// a stop request returns the best card so far.
Candidate completeCard(const std::vector<Symbol>& message, const Candidate& candidate,
                       const LanguageModel& model, const RunOptions& options,
                       const CompletionOptions& completion = {});

} // namespace zelmak::analysis
