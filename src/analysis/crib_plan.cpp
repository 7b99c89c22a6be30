#include "crib_plan.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace zelmak::analysis {

namespace {

struct Parts {
    std::array<int, kSymbolCount> root{};
    Parts() { std::iota(root.begin(), root.end(), 0); }
    int find(int s) {
        while (root[static_cast<std::size_t>(s)] != s)
            s = root[static_cast<std::size_t>(s)] =
                root[static_cast<std::size_t>(root[static_cast<std::size_t>(s)])];
        return s;
    }
};

// Orders the walk of one part: every pair whose ends are both known becomes a check at once;
// otherwise the next symbol is the one most pairs join to the known ones, so that loops close
// early and wrong guesses die after few steps.
std::vector<PlanStep> walkOf(const CribPlan& plan, const CribPart& part, Symbol start) {
    std::vector<PlanStep> steps;
    std::array<bool, kSymbolCount> known{};
    known[start] = true;
    std::vector<int> left = part.pairs;
    while (!left.empty()) {
        bool checked = false;
        for (auto it = left.begin(); it != left.end();) {
            const CribPair& p = plan.pairs[static_cast<std::size_t>(*it)];
            if (known[p.plain] && known[p.cipher]) {
                steps.push_back({*it, false, true});
                it = left.erase(it);
                checked = true;
            } else {
                ++it;
            }
        }
        if (checked || left.empty())
            continue;
        int best = -1;
        int bestJoins = -1;
        for (const int i : left) {
            const CribPair& p = plan.pairs[static_cast<std::size_t>(i)];
            if (known[p.plain] == known[p.cipher])
                continue;
            const Symbol next = known[p.plain] ? p.cipher : p.plain;
            int joins = 0;
            for (const int j : left) {
                const CribPair& q = plan.pairs[static_cast<std::size_t>(j)];
                joins +=
                    (q.plain == next && known[q.cipher]) || (q.cipher == next && known[q.plain]);
            }
            if (joins > bestJoins) {
                best = i;
                bestJoins = joins;
            }
        }
        const CribPair& p = plan.pairs[static_cast<std::size_t>(best)];
        const bool inverse = known[p.cipher];
        steps.push_back({best, inverse, false});
        known[inverse ? p.plain : p.cipher] = true;
        left.erase(std::find(left.begin(), left.end(), best));
    }
    return steps;
}

} // namespace

int CribPlan::symbols() const {
    int n = 0;
    for (const CribPart& p : parts)
        n += static_cast<int>(p.symbols.size());
    return n;
}

int CribPlan::loops() const {
    int n = 0;
    for (const CribPart& p : parts)
        n += p.loops();
    return n;
}

double CribPlan::survival() const {
    double chance = 1.0;
    int fixed = 0;
    for (const CribPart& p : parts) {
        if (p.loops() < 1)
            continue;
        chance *= std::min(1.0, std::pow(double{kSymbolCount}, 1 - p.loops()));
        fixed += static_cast<int>(p.symbols.size());
    }
    // The values a wrong guess fixes are as good as random; the card holds each value once.
    for (int i = 0; i < fixed; ++i)
        chance *= static_cast<double>(kSymbolCount - i) / kSymbolCount;
    return chance;
}

CribPlan planCrib(const std::vector<Symbol>& crib, const std::vector<Symbol>& message, int offset) {
    CribPlan plan;
    plan.offset = offset;
    Parts joined;
    std::array<bool, kSymbolCount> used{};
    for (std::size_t j = 0; j < crib.size(); ++j) {
        const CribPair p{static_cast<int>(j), crib[j],
                         message[static_cast<std::size_t>(offset) + j]};
        plan.pairs.push_back(p);
        used[p.plain] = used[p.cipher] = true;
        joined.root[static_cast<std::size_t>(joined.find(p.plain))] = joined.find(p.cipher);
    }
    std::array<int, kSymbolCount> partOf{};
    partOf.fill(-1);
    for (int s = 0; s < kSymbolCount; ++s) {
        if (!used[static_cast<std::size_t>(s)])
            continue;
        const int r = joined.find(s);
        if (partOf[static_cast<std::size_t>(r)] < 0) {
            partOf[static_cast<std::size_t>(r)] = static_cast<int>(plan.parts.size());
            plan.parts.emplace_back();
        }
        plan.parts[static_cast<std::size_t>(partOf[static_cast<std::size_t>(r)])].symbols.push_back(
            static_cast<Symbol>(s));
    }
    for (std::size_t i = 0; i < plan.pairs.size(); ++i)
        plan.parts[static_cast<std::size_t>(
                       partOf[static_cast<std::size_t>(joined.find(plan.pairs[i].plain))])]
            .pairs.push_back(static_cast<int>(i));
    std::stable_sort(plan.parts.begin(), plan.parts.end(),
                     [](const CribPart& a, const CribPart& b) {
                         return a.loops() != b.loops() ? a.loops() > b.loops()
                                                       : a.symbols.size() > b.symbols.size();
                     });

    // The walk starts at the symbol of the first part that most pairs touch.
    std::array<int, kSymbolCount> degree{};
    for (const int i : plan.parts.front().pairs) {
        ++degree[plan.pairs[static_cast<std::size_t>(i)].plain];
        ++degree[plan.pairs[static_cast<std::size_t>(i)].cipher];
    }
    plan.start =
        static_cast<Symbol>(std::max_element(degree.begin(), degree.end()) - degree.begin());
    plan.steps = walkOf(plan, plan.parts.front(), plan.start);
    return plan;
}

bool propagate(const CribPlan& plan, const CribPart& part, const std::vector<DiscPositions>& at,
               const DiscMaps& maps, Card& card) {
    Card holder = inverseCard(card);
    const auto assign = [&](Symbol s, Symbol v) {
        if (card[s] != kNoSymbol)
            return card[s] == v;
        if (holder[v] != kNoSymbol)
            return false;
        card[s] = v;
        holder[v] = s;
        return true;
    };
    for (bool changed = true; changed;) {
        changed = false;
        for (const int i : part.pairs) {
            const CribPair& p = plan.pairs[static_cast<std::size_t>(i)];
            const DiscPositions& key = at[static_cast<std::size_t>(p.key)];
            const bool hadPlain = card[p.plain] != kNoSymbol;
            const bool hadCipher = card[p.cipher] != kNoSymbol;
            if (hadPlain) {
                if (!assign(p.cipher, maps.encipher(key, card[p.plain])))
                    return false;
            } else if (hadCipher) {
                if (!assign(p.plain, maps.decipher(key, card[p.cipher])))
                    return false;
            }
            changed = changed || hadPlain != (card[p.plain] != kNoSymbol) ||
                      hadCipher != (card[p.cipher] != kNoSymbol);
        }
    }
    return true;
}

} // namespace zelmak::analysis
