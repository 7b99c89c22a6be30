#pragma once

// What a search found: settings that fit the message, best first, in one order that does not
// depend on the threads or processes that found them.

#include "disc_maps.h"
#include "symbols.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zelmak::analysis {

class LanguageModel;

struct Candidate {
    int offset = 0; // where the crib stands in the message (0 for a start search)
    DiscOrder order{};
    DiscPositions start{}; // positions of the message's first key
    Card card{};           // kNoSymbol where the search could not fix an entry
    double score = 0;      // the language score of the message as these entries reveal it
    int fixed() const { return cardFixed(card); }
};

// Higher score first; ties by offset, order, start and card, so that every run sorts alike.
bool better(const Candidate& a, const Candidate& b);

// The best `top` candidates seen.
class BestList {
public:
    explicit BestList(std::size_t top) : top_(top) {}
    void add(Candidate c);
    void merge(const BestList& other);
    // The lowest score that still gets in (-infinity while there is room).
    double threshold() const;
    std::vector<Candidate> sorted() const;
    std::size_t top() const { return top_; }

private:
    std::size_t top_;
    std::vector<Candidate> heap_; // worst on top
};

struct SearchResult {
    std::vector<Candidate> candidates;
    std::uint64_t hypotheses = 0;
    double seconds = 0;
    bool stopped = false;
    std::uint64_t survivors = 0; // settings that passed every test before the ranking
};

// The message keyed back with what a candidate knows, as the output pane shows it in Decipher
// mode ("_" for the word space), "." for a symbol that an unknown card entry hides.
std::vector<Symbol> decipherSymbols(const std::vector<Symbol>& message, const DiscMaps& maps,
                                    const Candidate& c);
std::string decipherText(const std::vector<Symbol>& message, const DiscMaps& maps,
                         const Candidate& c);
std::string shownText(const std::vector<Symbol>& plain);

} // namespace zelmak::analysis
