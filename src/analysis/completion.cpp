#include "completion.h"

#include "language_model.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <random>

namespace zelmak::analysis {

namespace {

// The discs' part of every key of the message, D^-1 at its positions: what is left to vary is
// the card, at both ends of each key.
std::vector<Row> keyRows(std::size_t keys, const Candidate& candidate) {
    const DiscMaps maps(candidate.order);
    std::vector<Row> rows(keys);
    DiscPositions at = candidate.start;
    for (Row& row : rows) {
        for (Symbol y = 0; y < kSymbolCount; ++y)
            row.to[y] = maps.decipher(at, y);
        maps.step(at);
    }
    return rows;
}

class Climber {
public:
    Climber(const std::vector<Symbol>& message, const std::vector<Row>& rows,
            const LanguageModel& model)
        : message_(message), model_(model), rows_(rows), plain_(message.size()) {}

    // The sum of ln P over the message deciphered with a complete card.
    double total(const Card& card, const Card& inverse) {
        for (std::size_t i = 0; i < message_.size(); ++i)
            plain_[i] = inverse[rows_[i][card[message_[i]]]];
        double sum = 0;
        for (std::size_t i = 2; i < plain_.size(); ++i)
            sum += model_.logProb(plain_[i - 2], plain_[i - 1], plain_[i]);
        return sum;
    }

    // Swaps the values of two open entries while that raises the total, from `card`.
    double climb(Card& card, const std::vector<Symbol>& open, std::mt19937_64& random,
                 const std::stop_token& stop) {
        Card inverse = inverseCard(card);
        double best = total(card, inverse);
        std::vector<std::pair<Symbol, Symbol>> pairs;
        for (std::size_t i = 0; i < open.size(); ++i)
            for (std::size_t k = i + 1; k < open.size(); ++k)
                pairs.emplace_back(open[i], open[k]);
        for (bool improved = true; improved && !stop.stop_requested();) {
            improved = false;
            std::shuffle(pairs.begin(), pairs.end(), random);
            for (const auto& [s, t] : pairs) {
                if (stop.stop_requested())
                    break;
                std::swap(card[s], card[t]);
                std::swap(inverse[card[s]], inverse[card[t]]);
                const double tried = total(card, inverse);
                if (tried > best) {
                    best = tried;
                    improved = true;
                } else {
                    std::swap(inverse[card[s]], inverse[card[t]]);
                    std::swap(card[s], card[t]);
                }
            }
        }
        return best;
    }

private:
    const std::vector<Symbol>& message_;
    const LanguageModel& model_;
    const std::vector<Row>& rows_;
    std::vector<Symbol> plain_;
};

} // namespace

Candidate completeCard(const std::vector<Symbol>& message, const Candidate& candidate,
                       const LanguageModel& model, const RunOptions& options,
                       const CompletionOptions& completion) {
    if (message.empty())
        throw InputError("the message is empty");
    if (!cardConsistent(candidate.card))
        throw InputError("the card gives one value to two symbols");

    std::vector<Symbol> open;
    std::vector<Symbol> unused;
    std::array<bool, kSymbolCount> used{};
    for (Symbol k = 0; k < kSymbolCount; ++k)
        if (candidate.card[k] == kNoSymbol)
            open.push_back(k);
        else
            used[candidate.card[k]] = true;
    for (Symbol v = 0; v < kSymbolCount; ++v)
        if (!used[v])
            unused.push_back(v);

    // Without a restart (stopped at once) the open entries take the unused values in order.
    Candidate best = candidate;
    for (std::size_t i = 0; i < open.size(); ++i)
        best.card[open[i]] = unused[i];
    best.score = -1e300;
    std::mutex mutex;
    const std::vector<Row> rows = keyRows(message.size(), candidate);

    // Every process does every restart: the result must not depend on how the work is shared.
    RunOptions mine = options;
    mine.rank = 0;
    mine.ranks = 1;
    const int restarts = open.size() < 2 ? 1 : std::max(1, completion.restarts);
    runItems(static_cast<std::uint64_t>(restarts), 1, mine,
             [&](std::uint64_t restart, unsigned) -> std::uint64_t {
                 Climber climber(message, rows, model);
                 std::mt19937_64 random(completion.seed * 0x9E3779B97F4A7C15ull + restart);
                 Candidate c = candidate;
                 std::vector<Symbol> values = unused;
                 std::shuffle(values.begin(), values.end(), random);
                 for (std::size_t i = 0; i < open.size(); ++i)
                     c.card[open[i]] = values[i];
                 c.score = climber.climb(c.card, open, random, options.stop);
                 const std::lock_guard lock(mutex);
                 if (better(c, best))
                     best = c;
                 return 1;
             });

    const DiscMaps maps(best.order);
    best.score = model.score(decipherSymbols(message, maps, best));
    return best;
}

} // namespace zelmak::analysis
