#include "candidates.h"

#include "machine/machine_state.h"

#include <algorithm>
#include <limits>
#include <tuple>

namespace zelmak::analysis {

bool better(const Candidate& a, const Candidate& b) {
    if (a.score != b.score)
        return a.score > b.score;
    return std::tie(a.offset, a.order, a.start, a.card) <
           std::tie(b.offset, b.order, b.start, b.card);
}

void BestList::add(Candidate c) {
    if (top_ == 0)
        return;
    if (heap_.size() < top_) {
        heap_.push_back(std::move(c));
        std::push_heap(heap_.begin(), heap_.end(), better);
        return;
    }
    if (!better(c, heap_.front()))
        return;
    std::pop_heap(heap_.begin(), heap_.end(), better);
    heap_.back() = std::move(c);
    std::push_heap(heap_.begin(), heap_.end(), better);
}

void BestList::merge(const BestList& other) {
    for (const Candidate& c : other.heap_)
        add(c);
}

double BestList::threshold() const {
    return heap_.size() < top_ ? -std::numeric_limits<double>::infinity() : heap_.front().score;
}

std::vector<Candidate> BestList::sorted() const {
    std::vector<Candidate> list = heap_;
    std::sort(list.begin(), list.end(), better);
    return list;
}

std::vector<Symbol> decipherSymbols(const std::vector<Symbol>& message, const DiscMaps& maps,
                                    const Candidate& c) {
    const Card inverse = inverseCard(c.card);
    std::vector<Symbol> plain;
    plain.reserve(message.size());
    DiscPositions at = c.start;
    for (const Symbol s : message) {
        const Symbol in = c.card[s];
        plain.push_back(in == kNoSymbol ? kNoSymbol : inverse[maps.decipher(at, in)]);
        maps.step(at);
    }
    return plain;
}

std::string shownText(const std::vector<Symbol>& plain) {
    std::string text;
    text.reserve(plain.size());
    for (const Symbol s : plain)
        text.push_back(s == kNoSymbol ? '.' : outputSymbol(s + 1, Mode::Decipher));
    return text;
}

std::string decipherText(const std::vector<Symbol>& message, const DiscMaps& maps,
                         const Candidate& c) {
    return shownText(decipherSymbols(message, maps, c));
}

} // namespace zelmak::analysis
