#include "start_search.h"

#include "language_model.h"

#include <map>
#include <memory>
#include <mutex>

namespace zelmak::analysis {

namespace {

// The start positions a slot may take: all, or the one known.
struct Span {
    int first = 0;
    int count = kSymbolCount;
};

// The maps of the orders being searched, made once by whichever thread needs them first. Items
// are taken in order, so only the latest orders are kept.
class MapsOfOrders {
public:
    explicit MapsOfOrders(const std::vector<DiscOrder>& orders) : orders_(orders) {}
    std::shared_ptr<const DiscMaps> get(std::size_t index) {
        const std::lock_guard lock(mutex_);
        auto found = made_.find(index);
        if (found != made_.end())
            return found->second;
        auto maps = std::make_shared<const DiscMaps>(orders_[index]);
        made_.emplace(index, maps);
        while (made_.size() > 2 && made_.begin()->first < index)
            made_.erase(made_.begin());
        return maps;
    }

private:
    const std::vector<DiscOrder>& orders_;
    std::mutex mutex_;
    std::map<std::size_t, std::shared_ptr<const DiscMaps>> made_;
};

// Where a start is given up: after `trigrams` trigrams its running sum of ln P must be at least
// `least`. The line runs between random text and German, nearer random text, and a start may
// fall a whole gap behind it, so that a German message that starts badly still gets through.
struct Checkpoint {
    std::size_t trigrams;
    double least;
};

std::vector<Checkpoint> checkpointsFor(std::size_t symbols, const LanguageModel& model) {
    std::vector<Checkpoint> points;
    const double gap = model.sampleMean() - model.randomMean();
    const double line = model.randomMean() + 0.4 * gap;
    for (std::size_t k = 6; k + 2 < symbols; k += k < 24 ? 6 : 24)
        points.push_back({k, static_cast<double>(k) * line - gap});
    points.push_back({static_cast<std::size_t>(-1), 0});
    return points;
}

// One thread's share: the card folded into the rows of slots 1 and 2 for one (order, p1, p2),
// so that a start costs two table lookups and a trigram a symbol.
class Searcher {
public:
    Searcher(const StartQuery& query, const LanguageModel& model,
             const std::vector<Checkpoint>& checkpoints, Span p4s, Span p5s)
        : query_(query), model_(model), checkpoints_(checkpoints), p4s_(p4s), p5s_(p5s),
          best_(query.top), inverse_(inverseCard(query.card)), u_(query.message.size()),
          q_(query.message.size()), base_(query.message.size()), t4_(query.message.size()),
          t5_(query.message.size()) {}

    std::uint64_t run(std::shared_ptr<const DiscMaps> maps, int p1, int p2, int p3) {
        if (maps != maps_ || p1 != p1_ || p2 != p2_)
            foldOuter(std::move(maps), p1, p2);
        const std::size_t n = query_.message.size();
        const SlowTurns turns = slowTurns(*maps_, p1, p2, p3, n);
        for (std::size_t j = 0; j < n; ++j) {
            base_[j] = static_cast<std::uint32_t>(innerIndex(turnOn(p3, turns.turned3[j]), 0, 0));
            t4_[j] = turns.turned4[j];
            t5_[j] = turns.turned5[j];
        }
        for (int p4 = p4s_.first; p4 < p4s_.first + p4s_.count; ++p4)
            for (int p5 = p5s_.first; p5 < p5s_.first + p5s_.count; ++p5)
                tryStart(p3, p4, p5);
        return static_cast<std::uint64_t>(p4s_.count * p5s_.count);
    }

    const BestList& best() const { return best_; }

private:
    void foldOuter(std::shared_ptr<const DiscMaps> maps, int p1, int p2) {
        maps_ = std::move(maps);
        p1_ = p1;
        p2_ = p2;
        DiscPositions at{static_cast<std::uint8_t>(p1), static_cast<std::uint8_t>(p2), 0, 0, 0};
        for (std::size_t i = 0; i < query_.message.size(); ++i) {
            const std::size_t outer = outerIndex(at[0], at[1]);
            u_[i] = maps_->backInverse(outer)[query_.card[query_.message[i]]];
            const Row& fore = maps_->foreInverse(outer);
            for (std::size_t x = 0; x < 32; ++x)
                q_[i].to[x] = x < kSymbolCount ? inverse_[fore[x]] : static_cast<Symbol>(x);
            maps_->step(at);
        }
    }

    Symbol plain(std::size_t j, int p4, int p5) const {
        const std::size_t inner = base_[j] +
                                  static_cast<std::size_t>(turnBack(p4, t4_[j])) * kPositions +
                                  static_cast<std::size_t>(turnOn(p5, t5_[j]));
        return q_[j][maps_->innerInverse(inner)[u_[j]]];
    }

    void tryStart(int p3, int p4, int p5) {
        const std::size_t n = query_.message.size();
        const float* lnP = model_.trigrams();
        double sum = 0;
        std::size_t a = n > 0 ? plain(0, p4, p5) : 0;
        std::size_t b = n > 1 ? plain(1, p4, p5) : 0;
        const Checkpoint* next = checkpoints_.data();
        for (std::size_t j = 2; j < n; ++j) {
            const std::size_t c = plain(j, p4, p5);
            sum += lnP[(a * LanguageModel::kStride + b) * LanguageModel::kStride + c];
            a = b;
            b = c;
            if (j - 1 == next->trigrams) {
                if (sum < next->least)
                    return;
                ++next;
            }
        }
        const double score = n > 2 ? sum / static_cast<double>(n - 2) : LanguageModel::kNoScore;
        if (score < best_.threshold())
            return;
        Candidate c;
        c.order = maps_->order();
        c.start = {static_cast<std::uint8_t>(p1_), static_cast<std::uint8_t>(p2_),
                   static_cast<std::uint8_t>(p3), static_cast<std::uint8_t>(p4),
                   static_cast<std::uint8_t>(p5)};
        c.card = query_.card;
        c.score = score;
        best_.add(std::move(c));
    }

    const StartQuery& query_;
    const LanguageModel& model_;
    const std::vector<Checkpoint>& checkpoints_;
    Span p4s_, p5s_;
    BestList best_;
    Card inverse_;
    std::shared_ptr<const DiscMaps> maps_;
    int p1_ = -1, p2_ = -1;
    std::vector<Symbol> u_;
    std::vector<Row> q_;
    std::vector<std::uint32_t> base_;
    std::vector<std::uint8_t> t4_, t5_;
};

void check(const StartQuery& query) {
    if (query.message.empty())
        throw InputError("the message is empty");
    for (const Symbol s : query.message)
        if (s >= kSymbolCount)
            throw InputError("the message holds a symbol the machine does not have");
    if (cardFixed(query.card) != kSymbolCount || !cardConsistent(query.card))
        throw InputError("the start search needs the whole card");
    if (query.top == 0)
        throw InputError("the search must keep at least one candidate");
    for (const int p : query.known)
        if (p < -1 || p >= kSymbolCount)
            throw InputError("a known start position is out of range");
}

} // namespace

SearchResult startSearch(const StartQuery& query, const LanguageModel& model,
                         const RunOptions& options) {
    check(query);
    const std::vector<DiscOrder>& orders = query.orders.empty() ? allDiscOrders() : query.orders;
    const std::vector<Checkpoint> checkpoints = checkpointsFor(query.message.size(), model);
    std::array<Span, kSlotCount> spans;
    for (std::size_t s = 0; s < kSlotCount; ++s)
        if (query.known[s] >= 0)
            spans[s] = {query.known[s], 1};
    MapsOfOrders maps(orders);
    std::vector<std::unique_ptr<Searcher>> searchers;
    for (unsigned t = 0; t < threadsFor(options); ++t)
        searchers.push_back(
            std::make_unique<Searcher>(query, model, checkpoints, spans[3], spans[4]));

    // An item is one (order, p1, p2, p3): 961 starts at most, well under a millisecond.
    const auto perOrder =
        static_cast<std::uint64_t>(spans[0].count * spans[1].count * spans[2].count);
    const RunTally tally = runItems(
        orders.size() * perOrder, static_cast<std::uint64_t>(spans[3].count * spans[4].count),
        options, [&](std::uint64_t item, unsigned thread) {
            auto rest = static_cast<int>(item % perOrder);
            const int p3 = spans[2].first + rest % spans[2].count;
            rest /= spans[2].count;
            const int p2 = spans[1].first + rest % spans[1].count;
            const int p1 = spans[0].first + rest / spans[1].count;
            return searchers[thread]->run(maps.get(item / perOrder), p1, p2, p3);
        });

    BestList best(query.top);
    for (const auto& s : searchers)
        best.merge(s->best());
    SearchResult result;
    result.candidates = best.sorted();
    result.hypotheses = tally.hypotheses;
    result.seconds = tally.seconds;
    result.stopped = tally.stopped;
    return result;
}

} // namespace zelmak::analysis
