#pragma once

// A crib at one offset as a graph: the symbols are its nodes, each (plain, cipher) pair an edge
// labelled with its key. A part of the graph with e edges over n symbols has e - n + 1 loops;
// each loop passes a wrong guess with a chance of 1 in 31. The walk starts at the best-connected
// symbol of the part with most loops and closes loops as early as it can.

#include "disc_maps.h"
#include "symbols.h"

#include <vector>

namespace zelmak::analysis {

struct CribPair {
    int key; // counted from the crib's first symbol
    Symbol plain;
    Symbol cipher;
};

struct PlanStep {
    int pair;     // index into CribPlan::pairs
    bool inverse; // walked from the cipher end: the plain symbol's value from the cipher's
    bool check;   // both ends known already
};

struct CribPart {
    std::vector<int> pairs; // indexes into CribPlan::pairs
    std::vector<Symbol> symbols;
    int loops() const {
        return static_cast<int>(pairs.size()) - static_cast<int>(symbols.size()) + 1;
    }
};

struct CribPlan {
    int offset = 0;
    std::vector<CribPair> pairs;
    std::vector<CribPart> parts; // the walked part first, then the others by loops
    Symbol start = 0;
    std::vector<PlanStep> steps; // the walk of parts[0]

    int symbols() const;
    int loops() const;
    // The chance that a wrong hypothesis survives: every part's loops with some guess, and the
    // card's rule that no two symbols share a value.
    double survival() const;
};

CribPlan planCrib(const std::vector<Symbol>& crib, const std::vector<Symbol>& message, int offset);

// Card values that a guess fixes, walked through the pairs of one part at the positions of each
// key: false when the pairs contradict each other or the card (two symbols with one value).
bool propagate(const CribPlan& plan, const CribPart& part, const std::vector<DiscPositions>& at,
               const DiscMaps& maps, Card& card);

} // namespace zelmak::analysis
