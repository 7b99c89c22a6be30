#include "crib_search.h"

#include "crib_plan.h"
#include "crib_walk.h"
#include "language_model.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace zelmak::analysis {

namespace {

constexpr std::uint64_t kInnerStates = kInnerRows; // positions of slots 3..5: one item's hypotheses

struct Kernel {
    walk::WalkFunction walk;
    const char* name;
};

Kernel chooseKernel() {
    const char* asked = std::getenv("ZELMAK_BREAK_KERNEL");
    const std::string want = asked != nullptr ? asked : "";
#if defined(__x86_64__)
    __builtin_cpu_init();
    if (want != "plain" && want != "avx2" && __builtin_cpu_supports("avx512vbmi") &&
        __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512bw"))
        return {walk::walkAvx512, "avx512vbmi"};
    if (want != "plain" && __builtin_cpu_supports("avx2"))
        return {walk::walkAvx2, "avx2"};
#endif
    return {walk::walkPlain, "plain"};
}

// The disc maps of the orders the threads are on; items come order by order, so a few suffice.
class MapsCache {
public:
    explicit MapsCache(std::size_t keep) : keep_(keep) {}
    std::shared_ptr<const DiscMaps> get(const DiscOrder& order) {
        const std::lock_guard lock(mutex_);
        auto it = maps_.find(order);
        if (it == maps_.end()) {
            if (maps_.size() >= keep_)
                maps_.erase(
                    std::min_element(maps_.begin(), maps_.end(), [](const auto& a, const auto& b) {
                        return a.second.used < b.second.used;
                    }));
            it = maps_.emplace(order, Entry{std::make_shared<const DiscMaps>(order), 0}).first;
        }
        it->second.used = ++clock_;
        return it->second.maps;
    }

private:
    struct Entry {
        std::shared_ptr<const DiscMaps> maps;
        std::uint64_t used;
    };
    std::size_t keep_;
    std::mutex mutex_;
    std::map<DiscOrder, Entry> maps_;
    std::uint64_t clock_ = 0;
};

// What one thread keeps between items.
struct Worker {
    walk::Task task;
    std::vector<walk::Survivor> survivors = std::vector<walk::Survivor>(kInnerStates);
    BestList best;
    std::uint64_t passed = 0;
    explicit Worker(std::size_t top) : best(top) {}
};

class CribSearch {
public:
    CribSearch(const CribQuery& q, const LanguageModel& model, unsigned threads)
        : q_(q), model_(model), kernel_(chooseKernel()), cache_(threads + 1) {
        orders_ = q.orders.empty() ? allDiscOrders() : q.orders;
        for (int offset = q.firstOffset; offset <= q.lastOffset; ++offset)
            plans_.push_back(planCrib(q.crib, q.message, offset));
        for (unsigned t = 0; t < threads; ++t)
            workers_.push_back(std::make_unique<Worker>(q.top));
        // Slots 1 and 2 turn on every key, so known start positions of theirs leave fewer items.
        for (int p1 = 0; p1 < kSymbolCount; ++p1)
            for (int p2 = 0; p2 < kSymbolCount; ++p2)
                if ((q.start[0] < 0 || q.start[0] == p1) && (q.start[1] < 0 || q.start[1] == p2))
                    starts_.push_back(outerIndex(p1, p2));
    }

    std::uint64_t items() const { return orders_.size() * plans_.size() * starts_.size(); }

    std::uint64_t run(std::uint64_t item, unsigned thread) {
        Worker& w = *workers_[thread];
        const std::size_t outer = starts_[item % starts_.size()];
        const std::size_t planIndex = (item / starts_.size()) % plans_.size();
        const auto maps = cache_.get(orders_[item / starts_.size() / plans_.size()]);
        const CribPlan& plan = plans_[planIndex];
        // The positions of slots 1 and 2 at the crib's first key.
        const int turned = plan.offset % kSymbolCount;
        const int p1 = turnOn(static_cast<int>(outer / kPositions), turned);
        const int p2 = turnBack(static_cast<int>(outer % kPositions), turned);
        fillTask(w.task, plan, *maps, p1, p2);
        const std::uint32_t n = kernel_.walk(w.task, w.survivors.data());
        for (std::uint32_t i = 0; i < n; ++i)
            judge(w, plan, *maps, p1, p2, w.survivors[i]);
        return kInnerStates;
    }

    SearchResult collect(const RunTally& tally) const {
        BestList all(q_.top);
        std::uint64_t survivors = 0;
        for (const auto& w : workers_) {
            all.merge(w->best);
            survivors += w->passed;
        }
        return {all.sorted(), tally.hypotheses, tally.seconds, tally.stopped, survivors};
    }

private:
    void fillTask(walk::Task& t, const CribPlan& plan, const DiscMaps& maps, int p1, int p2) const {
        const auto n = std::min<std::size_t>(plan.steps.size(), walk::kMaxSteps);
        t.steps = static_cast<int>(n);
        t.start = plan.start;
        t.guesses = q_.card ? 1u << (*q_.card)[plan.start] : walk::kAllGuesses;
        const std::uint8_t* inner = maps.inner(0).to.data();
        const std::uint8_t* innerInverse = maps.innerInverse(0).to.data();
        const std::size_t keys = plan.pairs.size();
        for (int p3 = 0; p3 < kSymbolCount; ++p3) {
            const SlowTurns turns = slowTurns(maps, p1, p2, p3, keys);
            for (std::size_t s = 0; s < n; ++s) {
                const auto key = static_cast<std::size_t>(
                    plan.pairs[static_cast<std::size_t>(plan.steps[s].pair)].key);
                t.turned3[p3][s] = turns.turned3[key];
                t.turned5[p3][s] = turns.turned5[key];
                t.turned4[s] = turns.turned4[key];
            }
        }
        for (std::size_t s = 0; s < n; ++s) {
            const PlanStep& step = plan.steps[s];
            const CribPair& pair = plan.pairs[static_cast<std::size_t>(step.pair)];
            const int k = pair.key % kSymbolCount;
            const std::size_t o = outerIndex(turnOn(p1, k), turnBack(p2, k));
            if (step.inverse) {
                t.step[s] = {pair.cipher, pair.plain, 0, 0};
                t.first[s] = maps.backInverse(o).to.data();
                t.inner[s] = innerInverse;
                t.last[s] = maps.foreInverse(o).to.data();
            } else {
                t.step[s] = {pair.plain, pair.cipher, static_cast<std::uint8_t>(step.check), 0};
                t.first[s] = maps.fore(o).to.data();
                t.inner[s] = inner;
                t.last[s] = maps.back(o).to.data();
            }
        }
    }

    // A survivor of the walk: every pair checked one guess at a time, the other parts of the graph
    // tried, the card's rule applied, and the message read with the values fixed.
    void judge(Worker& w, const CribPlan& plan, const DiscMaps& maps, int p1, int p2,
               walk::Survivor s) const {
        DiscPositions first{static_cast<std::uint8_t>(p1), static_cast<std::uint8_t>(p2),
                            static_cast<std::uint8_t>(s.inner / (kPositions * kPositions)),
                            static_cast<std::uint8_t>(s.inner / kPositions % kPositions),
                            static_cast<std::uint8_t>(s.inner % kPositions)};
        const DiscPositions start =
            positionsBefore(maps, first, static_cast<std::size_t>(plan.offset));
        for (std::size_t slot = 0; slot < kSlotCount; ++slot)
            if (q_.start[slot] >= 0 && q_.start[slot] != start[slot])
                return;
        std::vector<DiscPositions> at;
        at.reserve(plan.pairs.size());
        for (DiscPositions p = first; at.size() < plan.pairs.size(); maps.step(p))
            at.push_back(p);

        for (int g = 0; g < kSymbolCount; ++g) {
            if (((s.guesses >> g) & 1u) == 0)
                continue;
            Card card;
            card.fill(kNoSymbol);
            card[plan.start] = static_cast<Symbol>(g);
            if (!propagate(plan, plan.parts.front(), at, maps, card) ||
                !otherParts(plan, at, maps, card))
                continue;
            if (q_.card) {
                bool agrees = true;
                for (std::size_t k = 0; k < card.size(); ++k)
                    agrees = agrees && (card[k] == kNoSymbol || card[k] == (*q_.card)[k]);
                if (!agrees)
                    continue;
                card = *q_.card;
            }
            Candidate c{plan.offset, maps.order(), start, card, 0};
            c.score = model_.score(decipherSymbols(q_.message, maps, c));
            w.best.add(std::move(c));
            ++w.passed;
        }
    }

    // A part with loops must fit some guess, or the hypothesis dies; when exactly one fits, its
    // values are fixed. A part without loops fits every guess and fixes nothing.
    static bool otherParts(const CribPlan& plan, const std::vector<DiscPositions>& at,
                           const DiscMaps& maps, Card& card) {
        for (std::size_t i = 1; i < plan.parts.size(); ++i) {
            const CribPart& part = plan.parts[i];
            if (part.loops() < 1)
                break;
            int fits = 0;
            Card fitted = card;
            for (Symbol g = 0; g < kSymbolCount && fits < 2; ++g) {
                Card tried = card;
                if (tried[part.symbols.front()] != kNoSymbol)
                    break;
                tried[part.symbols.front()] = g;
                if (inverseCard(card)[g] == kNoSymbol && propagate(plan, part, at, maps, tried)) {
                    ++fits;
                    fitted = tried;
                }
            }
            if (fits == 0)
                return false;
            if (fits == 1)
                card = fitted;
        }
        return true;
    }

    const CribQuery& q_;
    const LanguageModel& model_;
    Kernel kernel_;
    std::vector<DiscOrder> orders_;
    std::vector<CribPlan> plans_;
    std::vector<std::size_t> starts_; // start positions of slots 1 and 2, as outer indexes
    MapsCache cache_;
    std::vector<std::unique_ptr<Worker>> workers_;
};

} // namespace

void checkQuery(const CribQuery& q) {
    if (q.message.empty())
        throw InputError("the message is empty");
    if (q.crib.empty())
        throw InputError("the crib is empty");
    if (q.crib.size() > q.message.size())
        throw InputError("the crib (" + std::to_string(q.crib.size()) +
                         " symbols) is longer than the message (" +
                         std::to_string(q.message.size()) + " symbols)");
    const auto last = static_cast<int>(q.message.size() - q.crib.size());
    if (q.firstOffset < 0 || q.lastOffset < q.firstOffset || q.lastOffset > last)
        throw InputError("the offset must lie within 0-" + std::to_string(last) +
                         " for a crib of " + std::to_string(q.crib.size()) +
                         " symbols in a message of " + std::to_string(q.message.size()));
    if (q.top == 0)
        throw InputError("the number of candidates to show must be at least 1");
    if (q.card && !cardConsistent(*q.card))
        throw InputError("the card holds a value twice");
}

CribFacts cribFacts(const CribQuery& q) {
    checkQuery(q);
    CribFacts f;
    const std::uint64_t orders = q.orders.empty() ? allDiscOrders().size() : q.orders.size();
    std::uint64_t outer = 1;
    for (std::size_t slot = 0; slot < 2; ++slot)
        outer *= q.start[slot] < 0 ? kPositions : 1;
    const std::uint64_t perOffset = orders * outer * kInnerStates;
    for (int offset = q.firstOffset; offset <= q.lastOffset; ++offset) {
        const CribPlan plan = planCrib(q.crib, q.message, offset);
        if (offset == q.firstOffset) {
            f.symbols = plan.symbols();
            f.components = static_cast<int>(plan.parts.size());
            f.loops = plan.loops();
        }
        f.falseSurvivors += static_cast<double>(perOffset) * plan.survival();
        f.hypotheses += perOffset;
    }
    return f;
}

SearchResult cribSearch(const CribQuery& query, const LanguageModel& model,
                        const RunOptions& options) {
    checkQuery(query);
    const unsigned threads = threadsFor(options);
    CribSearch search(query, model, threads);
    const RunTally tally = runItems(
        search.items(), kInnerStates, options,
        [&search](std::uint64_t item, unsigned thread) { return search.run(item, thread); });
    return search.collect(tally);
}

const char* cribKernelName() {
    return chooseKernel().name;
}

} // namespace zelmak::analysis
